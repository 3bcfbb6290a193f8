# Code signing. The vendor's certificate and key are build settings; without
# them the build makes a test certificate and key of its own under the build
# folder, so that every build, tests included, is signed. The SHA-256
# fingerprint of the certificate (of its DER form) is compiled into the
# program as TARNWICK_VENDOR_CERT_SHA256.
set(TARNWICK_SIGN_CERT "" CACHE FILEPATH "The vendor's code-signing certificate (PEM); empty: a test certificate of the build's own")
set(TARNWICK_SIGN_KEY "" CACHE FILEPATH "The private key of that certificate (PEM)")

find_program(OPENSSL openssl REQUIRED)
set(SIGNING_DIR ${CMAKE_BINARY_DIR}/signing)
file(MAKE_DIRECTORY ${SIGNING_DIR})
if(TARNWICK_SIGN_CERT)
  set(SIGN_CERT ${TARNWICK_SIGN_CERT})
  set(SIGN_KEY ${TARNWICK_SIGN_KEY})
else()
  set(SIGN_CERT ${SIGNING_DIR}/test-cert.pem)
  set(SIGN_KEY ${SIGNING_DIR}/test-key.pem)
  if(NOT EXISTS ${SIGN_CERT} OR NOT EXISTS ${SIGN_KEY})
    execute_process(
      COMMAND ${OPENSSL} req -x509 -newkey rsa:2048 -nodes -sha256 -days 3650
              -subj "/CN=Tarnwick Test Code Signing/O=Tarnwick (test build)"
              -addext "keyUsage=critical,digitalSignature" -addext "extendedKeyUsage=codeSigning"
              -keyout ${SIGN_KEY} -out ${SIGN_CERT}
      RESULT_VARIABLE made OUTPUT_QUIET ERROR_QUIET)
    if(NOT made EQUAL 0)
      message(FATAL_ERROR "could not make the test signing certificate")
    endif()
  endif()
endif()
execute_process(COMMAND ${OPENSSL} x509 -in ${SIGN_CERT} -outform DER -out ${SIGNING_DIR}/vendor-cert.der
                RESULT_VARIABLE converted)
if(NOT converted EQUAL 0)
  message(FATAL_ERROR "cannot read the signing certificate ${SIGN_CERT}")
endif()
file(SHA256 ${SIGNING_DIR}/vendor-cert.der TARNWICK_VENDOR_CERT_SHA256)
configure_file(${SIGN_CERT} ${SIGNING_DIR}/vendor-cert.pem COPYONLY)
# The one signing command: `sh sign.sh FILE` signs FILE in place.
find_program(OSSLSIGNCODE osslsigncode REQUIRED)
set(SIGN_SCRIPT ${SIGNING_DIR}/sign.sh)
file(WRITE ${SIGN_SCRIPT} "#!/bin/sh
# Signs the file named by the first argument in place, with the build's certificate.
set -e
'${OSSLSIGNCODE}' sign -certs '${SIGN_CERT}' -key '${SIGN_KEY}' -h sha256 -n Tarnwick \\
  -i 'http://${TARNWICK_VENDOR_HOST}/tarnwick' -in \"$1\" -out \"$1.signed\" > /dev/null
mv \"$1.signed\" \"$1\"
")
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${SIGN_CERT})
