// Decipher-and-read of a question record: the input is the stored entry.
#include "basestore/question_cipher.h"
#include "basestore/question_record.h"
#include "basestore/record_container.h"

#include <cstdint>

using namespace korvel;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    const QByteArray stored(reinterpret_cast<const char*>(data), qsizetype(size));
    const QByteArray plain = cipherQuestionRecord(stored);
    if (cipherQuestionRecord(plain) != stored)
        __builtin_trap();
    // Both the deciphered bytes and the raw bytes as a container: the second
    // lets the fuzzer steer the reader directly.
    for (const QByteArray& bytes : {plain, stored}) {
        ByteStream record(bytes);
        try {
            const QuestionRecord keys = readQuestionKeys(record);
            if (keys.answerMode < 0 || keys.answerMode > AnswerCount)
                __builtin_trap();
            for (int n : keys.rightAnswers()) {
                if (n < 1 || n > AnswerCount)
                    __builtin_trap();
            }
        } catch (const RecordConversionError&) {
        } catch (const AnswerModeError&) {
        }
    }
    return 0;
}
