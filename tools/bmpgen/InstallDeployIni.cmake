# Puts the default deploy.ini into the program folder without clobbering one
# that was rewritten there (bankd init stores the gateway key in it).
#   cmake -DTEMPLATE=<new default> -DDEST=<bin/deploy.ini> -DMARK=<copy of the last default installed> -P InstallDeployIni.cmake
# DEST is (re)written when it is missing, or when it still equals the default
# installed last time (nobody changed it) and the default has changed since.
foreach(var TEMPLATE DEST MARK)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "InstallDeployIni: ${var} is not set")
  endif()
endforeach()

file(READ "${TEMPLATE}" new_default)

set(install FALSE)
if(NOT EXISTS "${DEST}")
  set(install TRUE)
else()
  file(READ "${DEST}" current)
  if(current STREQUAL new_default)
    set(install FALSE)
  elseif(EXISTS "${MARK}")
    file(READ "${MARK}" last_default)
    if(current STREQUAL last_default)
      set(install TRUE)
    endif()
  endif()
endif()

if(install)
  file(WRITE "${DEST}" "${new_default}")
  message(STATUS "deploy.ini: installed the default into ${DEST}")
elseif(EXISTS "${DEST}" AND NOT current STREQUAL new_default)
  message(STATUS "deploy.ini: keeping the locally rewritten ${DEST}")
endif()
# Remember which default the program folder was last given.
if(install OR current STREQUAL new_default OR NOT EXISTS "${MARK}")
  file(WRITE "${MARK}" "${new_default}")
endif()
