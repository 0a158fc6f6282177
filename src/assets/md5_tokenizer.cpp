#include "assets/md5_tokenizer.h"

#include <climits>
#include <cstdlib>

namespace {

bool isWhitespace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

TokenKind bracketKind(char c) {
    switch (c) {
    case '{':
        return TokenKind::OpenBrace;
    case '}':
        return TokenKind::CloseBrace;
    case '(':
        return TokenKind::OpenParen;
    default:
        return TokenKind::CloseParen;
    }
}

}  // namespace

char MD5Model::Tokenizer::get() {
    lastGetRead_ = !atEnd();
    return lastGetRead_ ? text_[pos_++] : '\0';
}

void MD5Model::Tokenizer::unget() {
    if (lastGetRead_) --pos_;
    lastGetRead_ = false;
}

void MD5Model::Tokenizer::skipWhitespace() {
    while (!atEnd()) {
        if (!isWhitespace(get())) {
            unget();
            return;
        }
    }
}

void MD5Model::Tokenizer::skipComments() {
    if (get() != '/') throw Exception("MD5Model::skipComments(): invalid comment, expected //");
    while (!atEnd()) {
        if (get() == '\n') {
            unget();
            return;
        }
    }
}

void MD5Model::Tokenizer::readString(std::string& out) {
    out.clear();
    for (;;) {
        if (atEnd()) throw Exception("MD5Model::readString(): reached end of file before \" was found");
        const char c = get();
        if (c == '"') return;
        out += c;
    }
}

TokenKind MD5Model::Tokenizer::getNextToken(std::string* out) {
    skipWhitespace();
    if (atEnd()) return TokenKind::EndOfInput;

    TokenKind kind = TokenKind::EndOfInput;  // nothing collected yet
    std::string text;
    const auto started = [&] { return kind != TokenKind::EndOfInput; };
    const auto deliver = [&](TokenKind k) {
        if (out) *out = text;
        return k;
    };
    const auto invalid = [&] { throw Exception("MD5Model::getNextToken(): invalid token '" + text + "'"); };

    for (;;) {
        const char c = get();
        if (c == '{' || c == '}' || c == '(' || c == ')') {
            if (started()) {
                unget();
                return deliver(kind);
            }
            text = c;
            return deliver(bracketKind(c));
        } else if (isDigit(c)) {
            text += c;
            if (!started()) kind = TokenKind::Integer;
        } else if (c == '-') {
            text += c;
            if (started()) invalid();
            kind = TokenKind::Integer;
        } else if (isLetter(c)) {
            text += c;
            if (!started())
                kind = TokenKind::Identifier;
            else if (kind != TokenKind::Identifier)
                invalid();
        } else if (c == '"') {
            if (started()) {
                unget();
                return deliver(kind);
            }
            readString(text);
            return deliver(TokenKind::String);
        } else if (c == '.') {
            text += c;
            if (kind != TokenKind::Integer) invalid();
            kind = TokenKind::Float;
        } else if (c == '/') {
            if (started()) return deliver(kind);
            skipComments();
            skipWhitespace();
        } else if (isWhitespace(c)) {
            return deliver(kind);
        } else if (!started()) {
            text += c;
            invalid();
        }
        // a token that runs into the end of the input is discarded
        if (atEnd()) return TokenKind::EndOfInput;
    }
}

int MD5Model::Tokenizer::readInt() {
    std::string text;
    if (getNextToken(&text) != TokenKind::Integer) throw Exception("MD5Model::readInt(): expected integer");
    const long value = std::strtol(text.c_str(), nullptr, 10);
    if (value > INT_MAX) return INT_MAX;
    if (value < INT_MIN) return INT_MIN;
    return static_cast<int>(value);
}

float MD5Model::Tokenizer::readFloat() {
    std::string text;
    const TokenKind kind = getNextToken(&text);
    if (kind != TokenKind::Float && kind != TokenKind::Integer)
        throw Exception("MD5Model::readFloat(): expected float");
    return std::strtof(text.c_str(), nullptr);
}

void MD5Model::Tokenizer::readVec(int n, float* out) {
    if (getNextToken() != TokenKind::OpenParen) throw Exception("MD5Model::readVec(): expected '('");
    for (int i = 0; i < n; ++i) out[i] = readFloat();
    if (getNextToken() != TokenKind::CloseParen) throw Exception("MD5Model::readVec(): expected ')'");
}
