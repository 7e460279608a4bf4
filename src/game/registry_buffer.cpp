#include "game/registry_buffer.h"

#include "game/registry_backend.h"

namespace zpak {

char* RegistryBuffer::Allocate(std::size_t size)
{
    data_ = std::make_unique<char[]>(size);
    size_ = size;
    return data_.get();
}

void RegistryBuffer::FreeBlock()
{
    data_.reset();
    size_ = 0;
}

bool RegistryBuffer::AsString(std::string& text) const
{
    if (type_ != kRegSz && type_ != kRegExpandSz && type_ != kRegLink)
        return false;
    std::size_t length = 0;
    while (length < size_ && data_[length] != '\0')
        ++length;
    text.assign(data_.get() ? data_.get() : "", length);
    return true;
}

}  // namespace zpak
