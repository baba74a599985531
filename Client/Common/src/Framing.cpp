#include "common/Framing.h"

#include <algorithm>

std::string EncodeFrame(std::string_view record) {
    std::string out;
    out.reserve(kFrameHeaderSize + record.size());
    auto n = static_cast<std::uint32_t>(record.size());
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<char>((n >> (8 * i)) & 0xFF));
    out.append(record);
    return out;
}

FrameDecoder::FrameDecoder(std::size_t maxRecordSize) : max_(maxRecordSize) {}

static std::uint32_t ReadCount(const std::string& header) {
    std::uint32_t n = 0;
    for (int i = 0; i < 4; ++i)
        n |= std::uint32_t(static_cast<unsigned char>(header[i])) << (8 * i);
    return n;
}

bool FrameDecoder::Feed(const void* data, std::size_t size) {
    const char* p = static_cast<const char*>(data);
    while (error_ == FrameError::None && size > 0) {
        if (pending_.size() < kFrameHeaderSize) {
            std::size_t take = std::min(size, kFrameHeaderSize - pending_.size());
            pending_.append(p, take);
            p += take;
            size -= take;
            if (pending_.size() < kFrameHeaderSize)
                break;
            std::uint32_t count = ReadCount(pending_);
            if (count == 0) {
                error_ = FrameError::Empty;
            } else if (count > max_) {
                error_ = FrameError::Oversize;
            } else {
                pending_.reserve(kFrameHeaderSize + count);
            }
            if (error_ != FrameError::None)
                pending_.clear();
            continue;
        }
        std::size_t want = kFrameHeaderSize + ReadCount(pending_) - pending_.size();
        std::size_t take = std::min(size, want);
        pending_.append(p, take);
        p += take;
        size -= take;
        if (take == want) {
            ready_.push_back(pending_.substr(kFrameHeaderSize));
            pending_.clear();
        }
    }
    return error_ == FrameError::None;
}

std::optional<std::string> FrameDecoder::Next() {
    if (ready_.empty())
        return std::nullopt;
    std::string r = std::move(ready_.front());
    ready_.pop_front();
    return r;
}
