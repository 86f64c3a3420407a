# The list sources name their entries (Name=text). At configure time tools/listnames.py writes
# the bare texts for the packer, a header of named positions for C++ (resources/list_names.h)
# and the same names as CMake variables (KS_WORD_Product, KS_LIB_Agent_TEXT, ...).
find_package(Python3 REQUIRED COMPONENTS Interpreter)
set(KS_LIST_SOURCES ${CMAKE_SOURCE_DIR}/resources/lists/words.txt
                    ${CMAKE_SOURCE_DIR}/resources/lists/messages.txt
                    ${CMAKE_SOURCE_DIR}/resources/lists/library.txt.in)
set(KS_LIST_NAMES_TOOL ${CMAKE_SOURCE_DIR}/tools/listnames.py)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${KS_LIST_SOURCES}
                                                               ${KS_LIST_NAMES_TOOL})
execute_process(
    COMMAND ${Python3_EXECUTABLE} ${KS_LIST_NAMES_TOOL} generate
            ${CMAKE_SOURCE_DIR}/resources/lists ${CMAKE_BINARY_DIR}/resources
    RESULT_VARIABLE list_names_result)
if(NOT list_names_result EQUAL 0)
    message(FATAL_ERROR "tools/listnames.py could not read resources/lists")
endif()
set(KS_PLAIN_LIST_DIR ${CMAKE_BINARY_DIR}/resources/lists)
include_directories(${CMAKE_BINARY_DIR}/resources/generated)
include(${CMAKE_BINARY_DIR}/resources/generated/list_names.cmake)
