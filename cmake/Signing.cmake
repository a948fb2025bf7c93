# Authenticode signing with osslsigncode. RAVELIN_SIGNING_CERT (PEM
# certificate, followed by its chain if any) and RAVELIN_SIGNING_KEY (its PEM
# private key) sign the programs and packages the build ships; both empty
# leaves them unsigned, as a developer build is.
set(RAVELIN_SIGNING_CERT "" CACHE FILEPATH "PEM certificate that signs the programs and packages (empty: unsigned)")
set(RAVELIN_SIGNING_KEY "" CACHE FILEPATH "PEM private key of RAVELIN_SIGNING_CERT")
if(RAVELIN_SIGNING_CERT OR RAVELIN_SIGNING_KEY)
  if(NOT RAVELIN_SIGNING_CERT OR NOT RAVELIN_SIGNING_KEY)
    message(FATAL_ERROR "RAVELIN_SIGNING_CERT and RAVELIN_SIGNING_KEY go together")
  endif()
  find_program(RAVELIN_OSSLSIGNCODE osslsigncode REQUIRED)
endif()

# Sets VAR to the commands that sign IN into OUT (which may be IN) with CERT
# and KEY; osslsigncode writes no file it would overwrite, so it writes beside OUT.
function(ravelin_sign_commands var in out cert key)
  set(${var}
    COMMAND ${CMAKE_COMMAND} -E rm -f ${out}.signing
    COMMAND ${RAVELIN_OSSLSIGNCODE} sign -certs ${cert} -key ${key} -h sha256 -in ${in} -out ${out}.signing
    COMMAND ${CMAKE_COMMAND} -E rename ${out}.signing ${out}
    PARENT_SCOPE)
endfunction()

# Signs the file of each executable target in place after it is linked, when
# signing is set up. Works from any folder of the project: a stamp made after
# the signature keeps a signed file from being signed again.
function(ravelin_sign_targets)
  if(NOT RAVELIN_SIGNING_CERT)
    return()
  endif()
  foreach(target IN LISTS ARGN)
    set(stamp ${CMAKE_CURRENT_BINARY_DIR}/${target}.signed)
    ravelin_sign_commands(sign $<TARGET_FILE:${target}> $<TARGET_FILE:${target}>
      ${RAVELIN_SIGNING_CERT} ${RAVELIN_SIGNING_KEY})
    add_custom_command(OUTPUT ${stamp} ${sign}
      COMMAND ${CMAKE_COMMAND} -E touch ${stamp}
      DEPENDS ${target} ${RAVELIN_SIGNING_CERT} ${RAVELIN_SIGNING_KEY}
      COMMENT "Signing ${target}"
      VERBATIM)
    add_custom_target(${target}_signature ALL DEPENDS ${stamp})
  endforeach()
endfunction()
