#pragma once

#include <QByteArray>

namespace korvel {

// An in-memory byte buffer with a read position; every archive entry and
// every record container is held in one.
class ByteStream {
public:
    ByteStream() = default;
    explicit ByteStream(QByteArray bytes)
        : bytes_(std::move(bytes)) {}

    const QByteArray& bytes() const { return bytes_; }
    QByteArray& bytes() { return bytes_; }
    qsizetype size() const { return bytes_.size(); }
    bool isEmpty() const { return bytes_.isEmpty(); }

    qsizetype position() const { return position_; }
    void seek(qsizetype position) { position_ = position; }

    void clear() {
        bytes_.clear();
        position_ = 0;
    }
    void assign(QByteArray bytes) {
        bytes_ = std::move(bytes);
        position_ = 0;
    }

private:
    QByteArray bytes_;
    qsizetype position_ = 0;
};

} // namespace korvel
