#pragma once

// One fuzz entry point per source file. Built with libFuzzer (ORB_FUZZ_LIBFUZZER) the entry
// is the engine's LLVMFuzzerTestOneInput; in the normal build every entry registers itself
// by name so the replay test can feed the kept corpora and regression inputs to all of them.
#include <QByteArray>
#include <QString>
#include <cstddef>
#include <cstdint>

namespace fuzz {

using Entry = int (*)(const uint8_t* data, size_t size);

bool registerEntry(const char* name, Entry entry);

inline QByteArray bytes(const uint8_t* data, size_t size) {
    return QByteArray(reinterpret_cast<const char*>(data), static_cast<int>(size));
}

// Writes `content` to a file that lives as long as the process and returns its path: the
// loaders under test read files by path.
QString scratchFile(const char* name, const QByteArray& content);

// A QApplication on the offscreen platform (widgets need one); created once.
void ensureApplication();

// Splits an input into small typed values, front to back; an exhausted input yields zeros.
class Reader {
public:
    Reader(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    uint8_t byte() { return pos_ < size_ ? data_[pos_++] : 0; }
    int integer() {
        uint32_t v = 0;
        for (int i = 0; i < 4; ++i) {
            v = (v << 8) | byte();
        }
        return static_cast<int>(v);
    }
    // Up to `max` bytes as UTF-8 text, the length taken from the input.
    QString text(int max = 64) {
        const size_t n = qMin<size_t>(byte() % (max + 1), size_ - qMin(pos_, size_));
        const QString s =
            QString::fromUtf8(reinterpret_cast<const char*>(data_ + pos_), static_cast<int>(n));
        pos_ += n;
        return s;
    }
    QByteArray rest() {
        const QByteArray r = pos_ < size_ ? bytes(data_ + pos_, size_ - pos_) : QByteArray();
        pos_ = size_;
        return r;
    }

private:
    const uint8_t* data_;
    size_t size_;
    size_t pos_ = 0;
};

}  // namespace fuzz

#ifdef ORB_FUZZ_LIBFUZZER
#define ORB_FUZZ_TARGET(name) \
    extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
#else
#define ORB_FUZZ_TARGET(name)                                                                 \
    static int orbFuzz_##name(const uint8_t* data, size_t size);                              \
    static const bool orbFuzzRegistered_##name = fuzz::registerEntry(#name, &orbFuzz_##name); \
    static int orbFuzz_##name(const uint8_t* data, size_t size)
#endif
