#pragma once
// Helpers for the game's delimited texts: the speech token list and the played
// recordings (","), and the command words (" "). Comparisons are case-sensitive.
// Two delimiters in a row count as one, so there are no empty tokens in the middle;
// a leading or trailing delimiter still gives an empty first or last token.
#include <QString>
#include <cstdint>

// Src with every occurrence of Find replaced by Repl, searching on right behind each
// inserted Repl; empty when Src or Find is empty.
QString StrReplace(const QString& Src, const QString& Find, const QString& Repl);

// The Index-th token (from 1) of Text; 0 means the last one, below 0 the first one,
// past the last one empty text.
QString GetToken(QString Text, const QString& Delim, int16_t Index);

// The number of tokens of Text: one more than its delimiters after collapsing; an
// empty text has one, empty, token.
int16_t CountTokens(const QString& Text, const QString& Delim);
