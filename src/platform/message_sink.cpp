#include "platform/message_sink.h"

#include <ostream>

namespace zpak {

void StreamSink::ShowMessage(const std::string& text)
{
    stream_ << text << '\n';
    stream_.flush();
}

}  // namespace zpak
