# The publisher's public key that update downloads are verified with, turned
# into a header at configure time. UPDATE_PUBLIC_KEY_FILE names the PEM file
# that `openssl ec -pubout` writes; a build that names none uses a development
# key pair in UPDATE_DEV_KEY_DIR, made here when it does not exist yet. A
# release build must name its own key.
find_program(OPENSSL_COMMAND openssl REQUIRED)

set(PUBLISHER_DEV_KEY "")
if(UPDATE_PUBLIC_KEY_FILE)
  set(publisher_pem "${UPDATE_PUBLIC_KEY_FILE}")
else()
  set(publisher_pem "${UPDATE_DEV_KEY_DIR}/public.pem")
  set(PUBLISHER_DEV_KEY "${UPDATE_DEV_KEY_DIR}/private.pem")
  if(NOT EXISTS "${PUBLISHER_DEV_KEY}")
    file(MAKE_DIRECTORY "${UPDATE_DEV_KEY_DIR}")
    execute_process(COMMAND "${OPENSSL_COMMAND}" ecparam -name prime256v1 -genkey -noout -out "${PUBLISHER_DEV_KEY}"
                    RESULT_VARIABLE failed)
    if(failed)
      message(FATAL_ERROR "cannot make the development update key in ${UPDATE_DEV_KEY_DIR}")
    endif()
  endif()
  if(NOT EXISTS "${publisher_pem}")
    execute_process(COMMAND "${OPENSSL_COMMAND}" ec -in "${PUBLISHER_DEV_KEY}" -pubout -out "${publisher_pem}"
                    RESULT_VARIABLE failed ERROR_QUIET)
    if(failed)
      message(FATAL_ERROR "cannot write ${publisher_pem}")
    endif()
  endif()
  message(STATUS "Update downloads are verified with the development key ${publisher_pem}")
endif()
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${publisher_pem}")

# The DER form of a P-256 public key is a fixed 27-byte prefix naming the
# curve, then the point 04‖X‖Y.
set(der_file "${CMAKE_CURRENT_BINARY_DIR}/publisher_key.der")
execute_process(COMMAND "${OPENSSL_COMMAND}" pkey -pubin -in "${publisher_pem}" -outform DER -out "${der_file}"
                RESULT_VARIABLE failed ERROR_QUIET)
if(failed)
  message(FATAL_ERROR "UPDATE_PUBLIC_KEY_FILE: ${publisher_pem} is no PEM public key")
endif()
file(READ "${der_file}" der_hex HEX)
file(REMOVE "${der_file}")
set(p256_prefix "3059301306072a8648ce3d020106082a8648ce3d03010703420004")
string(LENGTH "${der_hex}" der_length)
string(SUBSTRING "${der_hex}" 0 54 der_prefix)
if(NOT der_length EQUAL 182 OR NOT der_prefix STREQUAL p256_prefix)
  message(FATAL_ERROR "UPDATE_PUBLIC_KEY_FILE: ${publisher_pem} is not an ECDSA P-256 public key")
endif()
string(SUBSTRING "${der_hex}" 54 128 point_hex)
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," PUBLISHER_KEY_BYTES "${point_hex}")
set(PUBLISHER_KEY_SOURCE "${publisher_pem}")
configure_file(publisher_key.h.in ${CMAKE_CURRENT_BINARY_DIR}/generated/update/publisher_key.h @ONLY)
set_property(GLOBAL PROPERTY UPDATE_DEV_SIGNING_KEY "${PUBLISHER_DEV_KEY}")
