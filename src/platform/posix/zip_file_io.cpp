#include "platform/zip_file_io.h"

namespace zpak {

zlib_filefunc64_def ZipFileFunctions()
{
    zlib_filefunc64_def functions{};
    fill_fopen64_filefunc(&functions);
    return functions;
}

}  // namespace zpak
