# libdeflate compiled from its source (ZPAK_LIBDEFLATE_SOURCE), for platforms
# without a libdeflate package: the DEFLATE compressor, decompressor and the
# CRC-32 that the zip writer and the check of archives use, with the CPU
# feature detection by which they pick their fastest code.
if(NOT EXISTS "${ZPAK_LIBDEFLATE_SOURCE}/libdeflate.h")
    message(FATAL_ERROR "ZPAK_LIBDEFLATE_SOURCE must name libdeflate's unpacked source "
                        "(scripts/fetch-debian-sources DIR libdeflate puts it in DIR/libdeflate)")
endif()
enable_language(C)
add_library(zpak_libdeflate STATIC
    ${ZPAK_LIBDEFLATE_SOURCE}/lib/deflate_compress.c
    ${ZPAK_LIBDEFLATE_SOURCE}/lib/deflate_decompress.c
    ${ZPAK_LIBDEFLATE_SOURCE}/lib/crc32.c
    ${ZPAK_LIBDEFLATE_SOURCE}/lib/utils.c
    ${ZPAK_LIBDEFLATE_SOURCE}/lib/x86/cpu_features.c)
target_include_directories(zpak_libdeflate SYSTEM PUBLIC ${ZPAK_LIBDEFLATE_SOURCE})
# As its own build compiles it.
target_compile_definitions(zpak_libdeflate PRIVATE _ANSI_SOURCE)
target_compile_options(zpak_libdeflate PRIVATE -O2)
