# Size of the shipped Windows programs.

# Optimizes the targets' own code for size in release builds.
function(ks_optimize_for_size)
    foreach(target ${ARGN})
        target_compile_options(${target} PRIVATE $<$<CONFIG:Release,MinSizeRel>:-Os>)
    endforeach()
endfunction()

# Strips symbols from the targets' release builds; other builds stay debuggable.
function(ks_strip_release)
    foreach(target ${ARGN})
        target_link_options(${target} PRIVATE $<$<CONFIG:Release,MinSizeRel>:-s>)
    endforeach()
endfunction()

# Small code for the named sources of a component whose other sources run at full speed.
function(ks_optimize_sources_for_size folder)
    foreach(name ${ARGN})
        set_source_files_properties(${CMAKE_SOURCE_DIR}/${folder}/${name} PROPERTIES
            COMPILE_OPTIONS $<$<CONFIG:Release,MinSizeRel>:-Os>)
    endforeach()
endfunction()
