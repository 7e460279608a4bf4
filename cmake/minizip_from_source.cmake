# minizip's zip writer compiled from its source (ZPAK_MINIZIP_SOURCE), for
# platforms without a minizip package. Only what the zip packer uses.
if(NOT EXISTS "${ZPAK_MINIZIP_SOURCE}/zip.c")
    message(FATAL_ERROR "ZPAK_MINIZIP_SOURCE must name minizip's unpacked source "
                        "(scripts/fetch-debian-sources DIR minizip puts it in DIR/minizip)")
endif()
enable_language(C)
add_library(zpak_minizip STATIC
    ${ZPAK_MINIZIP_SOURCE}/ioapi.c
    ${ZPAK_MINIZIP_SOURCE}/zip.c)
target_include_directories(zpak_minizip SYSTEM PUBLIC ${ZPAK_MINIZIP_SOURCE})
target_link_libraries(zpak_minizip PUBLIC ZLIB::ZLIB)
# zip.c keeps zlib's CRC table in a pointer of another type, which differs in
# size on Windows; the table serves only encryption, which nothing here uses.
target_compile_options(zpak_minizip PRIVATE -Wno-incompatible-pointer-types)
