// SPDX-License-Identifier: MIT
#include "formats/ByteReader.h"

#include <cstring>
#include <istream>

namespace q57 {

void ByteReader::fill(size_t wanted)
{
    while (end_ - begin_ < wanted && !inputEnded_) {
        if (begin_ > 0) {
            std::memmove(buffer_.data(), buffer_.data() + begin_, end_ - begin_);
            end_ -= begin_;
            begin_ = 0;
        }
        input_.read(reinterpret_cast<char *>(buffer_.data() + end_),
                    static_cast<std::streamsize>(buffer_.size() - end_));
        const std::streamsize got = input_.gcount();
        if (got <= 0) {
            inputEnded_ = true;
            break;
        }
        end_ += static_cast<size_t>(got);
    }
}

int ByteReader::get()
{
    fill(1);
    if (begin_ == end_)
        return End;
    return buffer_[begin_++];
}

int ByteReader::peek(size_t offset)
{
    fill(offset + 1);
    if (end_ - begin_ <= offset)
        return End;
    return buffer_[begin_ + offset];
}

size_t ByteReader::available(size_t wanted)
{
    fill(wanted);
    const size_t ready = end_ - begin_;
    return ready < wanted ? ready : wanted;
}

void ByteReader::skip(size_t count)
{
    fill(count);
    const size_t ready = end_ - begin_;
    begin_ += count < ready ? count : ready;
}

} // namespace q57
