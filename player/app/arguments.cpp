#include "player/app/arguments.h"

static int IsBlank(WCHAR c) {
    return c == L' ' || c == L'\t';
}

static const WCHAR *SkipBlanks(const WCHAR *at) {
    while (IsBlank(*at))
        ++at;
    return at;
}

static const WCHAR *CopyProgramName(const WCHAR *at, WCHAR **out) {
    if (*at == L'"') {
        for (++at; *at && *at != L'"'; ++at)
            *(*out)++ = *at;
        if (*at)
            ++at;
    } else {
        for (; *at && !IsBlank(*at); ++at)
            *(*out)++ = *at;
    }
    *(*out)++ = 0;
    return at;
}

// Backslashes count only in front of a quote.
static const WCHAR *CopyBackslashes(const WCHAR *at, WCHAR **out, int *literalQuote) {
    int count = 0;
    while (at[count] == L'\\')
        ++count;
    int kept = at[count] == L'"' ? count / 2 : count;
    for (int i = 0; i < kept; ++i)
        *(*out)++ = L'\\';
    *literalQuote = at[count] == L'"' && count % 2;
    return at + count;
}

static const WCHAR *CopyArgument(const WCHAR *at, WCHAR **out) {
    int quoted = 0;
    while (*at && (quoted || !IsBlank(*at))) {
        if (*at == L'\\') {
            int literalQuote = 0;
            at = CopyBackslashes(at, out, &literalQuote);
            if (literalQuote) {
                *(*out)++ = L'"';
                ++at;
            }
        } else if (*at == L'"' && quoted && at[1] == L'"') {
            *(*out)++ = L'"';
            at += 2;
        } else if (*at == L'"') {
            quoted = !quoted;
            ++at;
        } else {
            *(*out)++ = *at++;
        }
    }
    *(*out)++ = 0;
    return at;
}

int SplitArguments(const WCHAR *line, WCHAR *out) {
    if (!line) {
        *out = 0;
        return 1;
    }
    const WCHAR *at = CopyProgramName(line, &out);
    int count = 1;
    for (at = SkipBlanks(at); *at; at = SkipBlanks(at)) {
        at = CopyArgument(at, &out);
        ++count;
    }
    return count;
}

const WCHAR *NextArgument(const WCHAR *argument) {
    while (*argument)
        ++argument;
    return argument + 1;
}
