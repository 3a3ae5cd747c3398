#include "question_cipher.h"

#include <QCryptographicHash>
#include <algorithm>
#include <numeric>

namespace korvel {

namespace {
constexpr char Passphrase[] = "MarsoLeaf1984";

// Writes through a volatile pointer so the wipe is not optimised away.
void wipe(void* data, size_t size) {
    volatile std::uint8_t* bytes = static_cast<volatile std::uint8_t*>(data);
    for (size_t k = 0; k < size; ++k)
        bytes[k] = 0;
}
} // namespace

QByteArray QuestionCipher::passphraseDigest() {
    return QCryptographicHash::hash(QByteArrayView(Passphrase, sizeof Passphrase - 1),
                                    QCryptographicHash::Sha1);
}

QuestionCipher::QuestionCipher() {
    QByteArray key = passphraseDigest();
    std::iota(state_.begin(), state_.end(), std::uint8_t(0));
    std::uint8_t j = 0;
    for (int k = 0; k < 256; ++k) {
        j = std::uint8_t(j + state_[k] + std::uint8_t(key[k % key.size()]));
        std::swap(state_[k], state_[j]);
    }
    wipe(key.data(), size_t(key.size()));
}

QuestionCipher::~QuestionCipher() {
    wipe(state_.data(), state_.size());
}

void QuestionCipher::apply(QByteArray& data) {
    auto* bytes = reinterpret_cast<std::uint8_t*>(data.data());
    const qsizetype size = data.size();
    for (qsizetype blockStart = 0; blockStart < size; blockStart += BlockSize) {
        const qsizetype blockEnd = std::min(size, blockStart + BlockSize);
        std::uint8_t i = 0;
        std::uint8_t j = 0;
        for (qsizetype k = blockStart; k < blockEnd; ++k) {
            i = std::uint8_t(i + 1);
            j = std::uint8_t(j + state_[i]);
            std::swap(state_[i], state_[j]);
            bytes[k] ^= state_[std::uint8_t(state_[i] + state_[j])];
        }
    }
}

QByteArray cipherQuestionRecord(QByteArray data) {
    QuestionCipher cipher;
    cipher.apply(data);
    return data;
}

} // namespace korvel
