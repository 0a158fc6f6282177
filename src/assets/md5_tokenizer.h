#pragma once
// The character-level tokenizer of MD5 files and its typed value readers.

#include <cstddef>
#include <string>
#include <string_view>

#include "assets/md5_model.h"

enum class TokenKind {
    Identifier,
    Integer,
    Float,
    String,
    OpenBrace,
    CloseBrace,
    OpenParen,
    CloseParen,
    EndOfInput,
};

class MD5Model::Tokenizer {
public:
    explicit Tokenizer(std::string_view text) : text_(text) {}

    bool atEnd() const { return pos_ >= text_.size(); }

    // Returns the kind of the next token; its text goes to `out` when given.
    TokenKind getNextToken(std::string* out = nullptr);
    // Reads the rest of a quoted string whose opening quote has been read.
    void readString(std::string& out);
    int readInt();
    float readFloat();
    // Reads "( f1 .. fn )" into out[0 .. n-1].
    void readVec(int n, float* out);

private:
    void skipWhitespace();
    void skipComments();
    // Returns the next character, 0 at the end (and then nothing to put back).
    char get();
    void unget();

    std::string_view text_;
    std::size_t pos_ = 0;
    bool lastGetRead_ = false;
};
