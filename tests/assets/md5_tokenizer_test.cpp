#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "assets/md5_tokenizer.h"

namespace {

using Token = std::pair<TokenKind, std::string>;

std::vector<Token> tokens(std::string_view text) {
    MD5Model::Tokenizer in(text);
    std::vector<Token> out;
    for (;;) {
        std::string word = "<none>";
        const TokenKind kind = in.getNextToken(&word);
        if (kind == TokenKind::EndOfInput) return out;
        out.emplace_back(kind, word);
    }
}

// Returns the message of the exception the first token of `text` throws.
std::string tokenError(std::string_view text) {
    try {
        tokens(text);
    } catch (const MD5Model::Exception& e) {
        return e.what();
    }
    return "no exception";
}

}  // namespace

TEST(MD5Tokenizer, NumbersEndAtParenthesesAndKeepTheirSign) {
    const std::vector<Token> expected = {{TokenKind::OpenParen, "("},  {TokenKind::Float, "0.5"},
                                         {TokenKind::Float, "-0.25"},  {TokenKind::Integer, "-3"},
                                         {TokenKind::CloseParen, ")"}, {TokenKind::Identifier, "x"},
                                         {TokenKind::OpenBrace, "{"}};
    EXPECT_EQ(tokens("(0.5 -0.25 -3) x{ "), expected);
}

TEST(MD5Tokenizer, CommentsAreSkippedBetweenTokensAndASlashEndsANumber) {
    const std::vector<Token> expected = {{TokenKind::Identifier, "numJoints"},
                                         {TokenKind::Integer, "12"},
                                         {TokenKind::Identifier, "next"}};
    EXPECT_EQ(tokens("// header\nnumJoints // count\r\n\t12/next "), expected);
    EXPECT_EQ(tokenError("/ x"), "MD5Model::skipComments(): invalid comment, expected //");
    EXPECT_TRUE(tokens("x // comment without line end").size() == 1);
}

TEST(MD5Tokenizer, InvalidTokensReportTheCollectedText) {
    const auto message = [](const char* t) { return "MD5Model::getNextToken(): invalid token '" + std::string(t) + "'"; };
    EXPECT_EQ(tokenError(".5 "), message("."));
    EXPECT_EQ(tokenError("1.2.3 "), message("1.2."));
    EXPECT_EQ(tokenError("1e5 "), message("1e"));
    EXPECT_EQ(tokenError("a-b "), message("a-"));
    EXPECT_EQ(tokenError("; "), message(";"));
}

TEST(MD5Tokenizer, OtherCharactersInsideAWordAreDroppedAndHighBytesAreNoLetters) {
    EXPECT_EQ(tokens("abc_def:g "), (std::vector<Token>{{TokenKind::Identifier, "abcdefg"}}));
    EXPECT_EQ(tokenError("\xc3\xa4x "), "MD5Model::getNextToken(): invalid token '\xc3'");
}

TEST(MD5Tokenizer, StringsKeepSpacesAndSlashesAndNeedTheirClosingQuote) {
    EXPECT_EQ(tokens("\"models/a b // c\"x "),
              (std::vector<Token>{{TokenKind::String, "models/a b // c"}, {TokenKind::Identifier, "x"}}));
    EXPECT_EQ(tokens("name\"s\" "), (std::vector<Token>{{TokenKind::Identifier, "name"}, {TokenKind::String, "s"}}));
    EXPECT_EQ(tokenError("\"open"), "MD5Model::readString(): reached end of file before \" was found");
}

TEST(MD5Tokenizer, ATokenRunningIntoTheEndIsDiscarded) {
    EXPECT_TRUE(tokens("10").empty());
    EXPECT_EQ(tokens("10 }"), (std::vector<Token>{{TokenKind::Integer, "10"}, {TokenKind::CloseBrace, "}"}}));
}

TEST(MD5Tokenizer, ValueReadersCheckTheTokenKind) {
    MD5Model::Tokenizer in("-7 3 2.5 ( 1 -2 0.5 ) x ( 1 2 3 ");
    EXPECT_EQ(in.readInt(), -7);
    EXPECT_FLOAT_EQ(in.readFloat(), 3.0f);
    EXPECT_FLOAT_EQ(in.readFloat(), 2.5f);
    float v[3];
    in.readVec(3, v);
    EXPECT_FLOAT_EQ(v[1], -2.0f);
    EXPECT_THROW(
        {
            try {
                in.readFloat();
            } catch (const MD5Model::Exception& e) {
                EXPECT_STREQ(e.what(), "MD5Model::readFloat(): expected float");
                throw;
            }
        },
        MD5Model::Exception);
    try {
        in.readVec(2, v);
        FAIL();
    } catch (const MD5Model::Exception& e) {
        EXPECT_STREQ(e.what(), "MD5Model::readVec(): expected ')'");
    }
    MD5Model::Tokenizer noParen("1 2 ");
    EXPECT_THROW(noParen.readVec(1, v), MD5Model::Exception);
    MD5Model::Tokenizer huge("99999999999 ");
    EXPECT_EQ(huge.readInt(), 2147483647);
}
