// Keyword lists (items separated by ',', compared without regard to letter
// case), keyword expressions over such a list, and keyword operations that
// edit one.
#pragma once

#include "shared/string.h"

// The next item at the cursor, white space around it trimmed and empty items
// skipped; the cursor moves past it. The null String: the list is exhausted.
String NextKeyword(const char*& cursor);

// True when the list holds an item equal to word (letter case ignored).
bool HasKeyword(const char* list, const char* word);
// Appends word (after ", " unless the list is empty) when the list lacks it.
// An empty word adds nothing. True when added. A null String is an empty list.
bool AddKeyword(String& list, const char* word);
// Removes the first item equal to word with its separator. True when removed.
bool RemoveKeyword(String& list, const char* word);

// The text up to the first of the stop characters (or the end), white space
// trimmed at both ends; the cursor is left on the stop character.
String NextToken(const char*& cursor, const char* stopCharacters);

// One term of a keyword expression ('!' term, "word", #, *, (expression) or
// a plain word), evaluated on the list; the cursor moves behind the term.
bool EvalKeywordTerm(const char* list, const char*& cursor);
// Terms joined by '&' and '|', of equal precedence, from the left; every
// term is evaluated. Stops on any other character (')', a blank, the end).
bool EvalKeywordExpression(const char* list, const char*& cursor);
// True when the evaluation reads the whole expression: nothing is left over
// (such as an unmatched ')', or text after a quoted word, '#' or '*'). What is
// read does not depend on the list, so one check serves every list.
bool KeywordExpressionParses(const char* expression);

// Applies a list of operations (+word, -word, -*, !expression, ?expression,
// =word, word) in turn. True when the list changed.
bool ApplyKeywordOps(String& list, const char* operations);
// The first '!' or '?' operation whose expression does not parse, as
// written; the null String when every one parses.
String BadKeywordOperation(const char* operations);
