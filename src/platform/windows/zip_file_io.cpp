#include "platform/zip_file_io.h"

#include <cstdio>

#include <share.h>

namespace zpak {

namespace {

FILE* AsFile(voidpf stream)
{
    return static_cast<FILE*>(stream);
}

// Shared for reading and writing: the archive's temporary file is held open,
// and locked, by its writer meanwhile.
voidpf ZCALLBACK OpenFile(voidpf, const void* name, int mode)
{
    const wchar_t* how = L"wb";
    if ((mode & ZLIB_FILEFUNC_MODE_READWRITEFILTER) == ZLIB_FILEFUNC_MODE_READ)
        how = L"rb";
    else if (mode & ZLIB_FILEFUNC_MODE_EXISTING)
        how = L"r+b";
    return ::_wfsopen(static_cast<const wchar_t*>(name), how, _SH_DENYNO);
}

uLong ZCALLBACK ReadFile(voidpf, voidpf stream, void* buffer, uLong size)
{
    return static_cast<uLong>(std::fread(buffer, 1, size, AsFile(stream)));
}

uLong ZCALLBACK WriteFile(voidpf, voidpf stream, const void* buffer, uLong size)
{
    return static_cast<uLong>(std::fwrite(buffer, 1, size, AsFile(stream)));
}

ZPOS64_T ZCALLBACK Tell(voidpf, voidpf stream)
{
    return static_cast<ZPOS64_T>(::_ftelli64(AsFile(stream)));
}

long ZCALLBACK Seek(voidpf, voidpf stream, ZPOS64_T offset, int origin)
{
    const int whence = origin == ZLIB_FILEFUNC_SEEK_CUR ? SEEK_CUR
        : origin == ZLIB_FILEFUNC_SEEK_END              ? SEEK_END
                                                        : SEEK_SET;
    return ::_fseeki64(AsFile(stream), static_cast<__int64>(offset), whence) == 0 ? 0 : -1;
}

int ZCALLBACK CloseFile(voidpf, voidpf stream)
{
    return std::fclose(AsFile(stream));
}

int ZCALLBACK FileError(voidpf, voidpf stream)
{
    return std::ferror(AsFile(stream));
}

}  // namespace

zlib_filefunc64_def ZipFileFunctions()
{
    return {OpenFile, ReadFile, WriteFile, Tell, Seek, CloseFile, FileError, nullptr};
}

}  // namespace zpak
