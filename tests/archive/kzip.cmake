# kzip, the command-line front end, on the public test archives (both builds).
set(kzip_data ${CMAKE_SOURCE_DIR}/tests/data/zip)
if(KS_WINDOWS)
    set(kzip_data Z:${kzip_data})
endif()
add_test(NAME kzip_list COMMAND kzip l ${kzip_data}/lz_testcomment.zip)
set_tests_properties(kzip_list PROPERTIES PASS_REGULAR_EXPRESSION
    "^0\t24\t7970d930\tfile1\r?\n0\t25\t90c4d1d0\tfile2\r?\n0\t24\tec532ae4\tfile3\r?\n0\t25\t2989f508\tfile4")
add_test(NAME kzip_test COMMAND kzip t ${kzip_data}/lz_broken.zip)
set_tests_properties(kzip_test PROPERTIES PASS_REGULAR_EXPRESSION
    "^OK storedok\r?\nFAIL 19 storedcrcerror\r?\nOK deflateok\r?\nFAIL 19 deflatecrcerror\r?\nFAIL 0 deflatezliberror\r?\nFAIL 4 cryptok")
add_test(NAME kzip_not_a_zip COMMAND kzip l ${kzip_data}/MANIFEST.md)
set_tests_properties(kzip_not_a_zip PROPERTIES PASS_REGULAR_EXPRESSION
    "error 28: Unhandled Archive Type")
# Deflate64 and bzip2: listed by name, decoded, and a damaged stream failing as damaged.
add_test(NAME kzip_list_method_names COMMAND kzip l ${kzip_data}/ks_deflate64-zlib.zip)
set_tests_properties(kzip_list_method_names PROPERTIES PASS_REGULAR_EXPRESSION
    "^Deflate64\t1\t8cdc1683\tone\r?\nDeflate64\t4000\t8a75fc2c\tincompressible.bin")
add_test(NAME kzip_test_deflate64 COMMAND kzip t ${kzip_data}/ks_deflate64-7z.zip)
set_tests_properties(kzip_test_deflate64 PROPERTIES PASS_REGULAR_EXPRESSION
    "^OK empty\r?\nOK far.txt\r?\nOK zeros.bin\r?\n$")
add_test(NAME kzip_test_bzip2 COMMAND kzip t ${kzip_data}/ks_bzip2-7z.zip)
set_tests_properties(kzip_test_bzip2 PROPERTIES PASS_REGULAR_EXPRESSION
    "^OK empty\r?\nOK runs.bin\r?\nOK words.txt\r?\nOK zeros.bin\r?\n$")
add_test(NAME kzip_test_bzip2_damaged COMMAND kzip t ${kzip_data}/lz_testbzip2broken.zip)
set_tests_properties(kzip_test_bzip2_damaged PROPERTIES PASS_REGULAR_EXPRESSION
    "^FAIL 0 abac-repeat.txt")
# kzip x writes the decoded members; the script compares them with the recorded CRC-32.
# Further arguments go to the script (-DEXPECTED=name=sha256,...).
function(add_kzip_extract_test name archive)
    add_test(NAME ${name} COMMAND ${CMAKE_COMMAND}
        -DKZIP=$<TARGET_FILE:kzip> -DEMULATOR=${CMAKE_CROSSCOMPILING_EMULATOR}
        -DARCHIVE=${CMAKE_SOURCE_DIR}/tests/data/zip/${archive}
        -DOUT=${CMAKE_CURRENT_BINARY_DIR}/${name} ${ARGN}
        -P ${CMAKE_CURRENT_SOURCE_DIR}/archive/kzip_extract_check.cmake)
endfunction()
add_kzip_extract_test(kzip_extract_methods ks_bzip2-python.zip)
add_test(NAME kzip_lzma COMMAND kzip l ${kzip_data}/ks_lzma_python.zip)
set_tests_properties(kzip_lzma PROPERTIES PASS_REGULAR_EXPRESSION
    "^LZMA\t0\t00000000\tempty.txt\r?\nLZMA\t1\t330c7795\tone.bin")
add_test(NAME kzip_test_lzma COMMAND kzip t ${kzip_data}/la_test_read_format_zip_lzma_multi.zipx)
set_tests_properties(kzip_test_lzma PROPERTIES PASS_REGULAR_EXPRESSION
    "^OK smartd.conf\r?\nOK ts.conf\r?\nOK vimrc")
# PPMd: listed by name, decoded through both restore methods, and written by kzip x.
add_test(NAME kzip_list_ppmd COMMAND kzip l ${kzip_data}/ks_ppmd_cut.zip)
set_tests_properties(kzip_list_ppmd PROPERTIES PASS_REGULAR_EXPRESSION
    "^PPMd\t0\t00000000\tempty\r?\nPPMd\t1\te8b7be43\tone\r?\nPPMd\t6000\t156f4ae4\tincompressible.bin")
add_test(NAME kzip_test_ppmd COMMAND kzip t ${kzip_data}/ks_ppmd_7z_o16_cutoff.zip)
set_tests_properties(kzip_test_ppmd PROPERTIES PASS_REGULAR_EXPRESSION
    "^OK big.txt\r?\nOK far.bin\r?\n$")
add_kzip_extract_test(kzip_extract_ppmd ks_ppmd_cut.zip
    "-DEXPECTED=empty=e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855,one=ca978112ca1bbdcafac231b39a23dc4da786eff8147c4e72b9807785afee48bb,incompressible.bin=fa8f7efc3dc9a00d1e4b5dea02feec0a3061d10ee731663b70db8dafe6c3634d")
