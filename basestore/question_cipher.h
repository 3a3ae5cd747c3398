#pragma once

#include <QByteArray>
#include <array>
#include <cstdint>

namespace korvel {

// RC4 keyed with the SHA-1 of the built-in passphrase, except that i and j
// restart at every 8192-byte block while the state array carries over.
// Enciphering and deciphering are the same operation.
class QuestionCipher {
public:
    static constexpr qsizetype BlockSize = 8192;

    QuestionCipher();
    QuestionCipher(const QuestionCipher&) = delete;
    QuestionCipher& operator=(const QuestionCipher&) = delete;
    ~QuestionCipher();

    // Processes data as one whole record, from its first byte.
    void apply(QByteArray& data);

    static QByteArray passphraseDigest();

private:
    std::array<std::uint8_t, 256> state_;
};

// A freshly keyed cipher over the whole record; used for both directions.
QByteArray cipherQuestionRecord(QByteArray data);

} // namespace korvel
