# Delay-load import libraries: a system DLL the program needs only after its window is up is
# loaded on the first call into it, not at start, where every DLL costs start-up time.
#   ks_delay_load(<dll> <function>:<argument bytes> ...)
# sets KS_DELAYED_<dll> to a library to link just before the DLL's ordinary import library,
# which still serves the functions not listed (the tests call more of them). The argument
# bytes name the 32-bit stdcall symbols. A delay-loaded DLL that cannot be found raises an
# exception at the first call, so only DLLs every supported Windows has belong here.
function(ks_delay_load dll)
    set(folder ${CMAKE_BINARY_DIR}/delayload)
    set(exports "")
    foreach(entry IN LISTS ARGN)
        string(REPLACE ":" ";" parts ${entry})
        list(GET parts 0 name)
        list(GET parts 1 bytes)
        if(CMAKE_SIZEOF_VOID_P EQUAL 4)
            string(APPEND exports "${name}@${bytes}\n")
        else()
            string(APPEND exports "${name}\n")
        endif()
    endforeach()
    file(CONFIGURE OUTPUT ${folder}/${dll}.def
         CONTENT "LIBRARY ${dll}.dll\nEXPORTS\n${exports}" @ONLY)
    set(library ${folder}/lib${dll}_delayed.a)
    execute_process(COMMAND ${CMAKE_DLLTOOL} --kill-at --input-def ${folder}/${dll}.def
                            --output-delaylib ${library}
                    RESULT_VARIABLE failed)
    if(failed)
        message(FATAL_ERROR "dlltool could not make the delay-load library of ${dll}")
    endif()
    set(KS_DELAYED_${dll} ${library} PARENT_SCOPE)
endfunction()

if(KS_WINDOWS)
    # The folder dialog, the accessibility objects, the locked-file query, and the hashes and
    # signatures (needed at start only for a signed catalogue).
    ks_delay_load(comdlg32 GetOpenFileNameA:4)
    ks_delay_load(oleacc AccessibleObjectFromWindow:16 LresultFromObject:12)
    ks_delay_load(oleaut32 SysAllocString:4 VariantInit:4)
    ks_delay_load(rstrtmgr RmStartSession:12 RmEndSession:4 RmRegisterResources:28 RmGetList:20)
    ks_delay_load(bcrypt BCryptOpenAlgorithmProvider:16 BCryptCloseAlgorithmProvider:8
                  BCryptGetProperty:24 BCryptCreateHash:28 BCryptHashData:16 BCryptFinishHash:16
                  BCryptDestroyHash:4 BCryptImportKeyPair:28 BCryptVerifySignature:28
                  BCryptDestroyKey:4)
endif()
