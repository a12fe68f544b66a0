// The only user of the generated host header: changing the host rebuilds this
// file alone.
#include "update/version_manifest.h"
#include "update/version_service_host.h"

Text VersionManifestAddress() { return Text("http://") + kVersionServiceHost + "/Soft/VER/SVERS.json"; }
