#include "command_line.h"

#include <cwchar>

namespace skinrun {
namespace {

bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t'; }

void SkipBlanks(const wchar_t*& cursor) {
    while (IsBlank(*cursor)) ++cursor;
}

// A program's own name ends at the closing quote, or at the first blank when unquoted;
// backslashes mean nothing in it.
void SkipProgramName(const wchar_t*& cursor) {
    if (*cursor == L'"') {
        ++cursor;
        while (*cursor && *cursor != L'"') ++cursor;
        if (*cursor) ++cursor;
    } else {
        while (*cursor && !IsBlank(*cursor)) ++cursor;
    }
}

// One argument as the C runtime reads it: blanks separate, quotes group, 2n backslashes before
// a quote stand for n and the quote groups, 2n + 1 for n and a quote.
std::wstring ReadArgument(const wchar_t*& cursor) {
    std::wstring argument;
    bool quoted = false;
    while (*cursor && (quoted || !IsBlank(*cursor))) {
        if (*cursor == L'\\') {
            size_t backslashes = 0;
            while (*cursor == L'\\') {
                ++backslashes;
                ++cursor;
            }
            if (*cursor != L'"') {
                argument.append(backslashes, L'\\');
                continue;
            }
            argument.append(backslashes / 2, L'\\');
            if (backslashes % 2 == 0) continue;
            argument += L'"';
            ++cursor;
        } else if (*cursor == L'"') {
            if (quoted && cursor[1] == L'"') {
                argument += L'"';
                cursor += 2;
            } else {
                quoted = !quoted;
                ++cursor;
            }
        } else {
            argument += *cursor++;
        }
    }
    return argument;
}

}  // namespace

Request ParseCommandLine(const wchar_t* commandLine) {
    Request request;
    const wchar_t* cursor = commandLine ? commandLine : L"";
    SkipProgramName(cursor);
    for (;;) {
        SkipBlanks(cursor);
        if (!*cursor) {
            if (!request.follow) request.error = L"No program given.";
            return request;
        }
        std::wstring argument = ReadArgument(cursor);
        if (argument == L"--classic") {
            request.look = Look::Classic;
            continue;
        }
        if (argument == L"--follow") {
            // The guest's hand-over of a suspended child: the parent's id, its handles' values and
            // the child's ids.
            unsigned long long numbers[5] = {};
            for (unsigned long long& number : numbers) {
                SkipBlanks(cursor);
                number = std::wcstoull(ReadArgument(cursor).c_str(), nullptr, 10);
            }
            request.parentId = static_cast<unsigned long>(numbers[0]);
            request.followProcess = numbers[1];
            request.followThread = numbers[2];
            request.childProcessId = static_cast<unsigned long>(numbers[3]);
            request.childThreadId = static_cast<unsigned long>(numbers[4]);
            request.follow = request.childProcessId && request.childThreadId;
            if (!request.follow) {
                request.error = L"--follow needs the parent, the child's handles and its ids.";
                return request;
            }
            continue;
        }
        if (argument == L"--help" || argument == L"-h" || argument == L"/?") {
            request.help = true;
            return request;
        }
        if (argument.starts_with(L"--")) {
            request.error = L"Unknown option \"" + argument + L"\".";
            return request;
        }
        if (argument.empty()) {
            request.error = L"The program's name is empty.";
            return request;
        }
        request.program = std::move(argument);
        SkipBlanks(cursor);
        request.arguments = cursor;
        return request;
    }
}

std::wstring Quoted(const std::wstring& path) { return L"\"" + path + L"\""; }

}  // namespace skinrun
