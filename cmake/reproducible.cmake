# Reproducible binaries: the same sources give the same bytes whatever folder they are built in
# and whenever. Source and build paths are written relative to the source folder (in debug
# information, __FILE__ and assertions), and Windows binaries carry no link time.
add_compile_options(-ffile-prefix-map=${PROJECT_SOURCE_DIR}/=)
if(WIN32)
    add_link_options(-Wl,--no-insert-timestamp)
endif()
