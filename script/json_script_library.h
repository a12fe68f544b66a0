#pragma once
// The script that every JSON engine loads before it holds a document: the
// helper functions the document operations call, and a JSON object for
// engines that have none of their own.

// Script source (ES3, as the system's JScript engine runs it).
extern const wchar_t kJsonScriptLibrary[];
