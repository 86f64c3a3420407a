# Runs kzip x ARCHIVE OUT (through the Windows emulator when there is one) and compares each
# written file with its SHA-256.
set(expected
    "empty=e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"
    "one=2d711642b726b04401627ca9fbac32f5c8530fb1903cc4db02258717921a4881"
    "incompressible.bin=b8a5314dfc1fe6a0e76ba4bb419a724602a0cb5bc57edb6e33806e41cee0ff7e"
    "two-streams=fabc92c0b8dd0a441b2fed23834b523a098f986bad1267cdc6aab646f374b2a1")
# Another archive's members: -DEXPECTED=name=hash,name=hash
if(DEFINED EXPECTED)
    string(REPLACE "," ";" expected "${EXPECTED}")
endif()
file(REMOVE_RECURSE ${OUT})
file(MAKE_DIRECTORY ${OUT})
set(archive ${ARCHIVE})
set(out ${OUT})
if(EMULATOR)
    set(archive Z:${ARCHIVE})
    set(out Z:${OUT})
endif()
execute_process(COMMAND ${EMULATOR} ${KZIP} x ${archive} ${out} RESULT_VARIABLE result)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "kzip x failed: ${result}")
endif()
foreach(pair ${expected})
    string(REPLACE "=" ";" parts ${pair})
    list(GET parts 0 name)
    list(GET parts 1 hash)
    file(SHA256 ${OUT}/${name} actual)
    if(NOT actual STREQUAL hash)
        message(FATAL_ERROR "${name}: ${actual}, expected ${hash}")
    endif()
endforeach()
