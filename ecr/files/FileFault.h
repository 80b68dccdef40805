#pragma once

#include "ecr/commands/ECRArticleRules.h"
#include "ecr/commands/TextFault.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>

// Why a shared reader or writer refused a file, and where: the file as a
// whole (it cannot be opened, read or written, is no file, is too large,
// holds too many articles), one of its lines (too long, a zero byte, a text
// the register cannot take) or one field of a line (an article the register
// would refuse). No words here: FaultText says it in English for ecrctl and
// in Serbian for the dialogs.
struct FileFault {
    enum class Kind {
        NoFileName,
        CannotOpen,        // systemError: 0 when the system gave no reason
        NotAFile,          // node; nothing read
        CannotRead,
        TooLarge,          // larger than limit bytes
        DanglingLink,      // a symbolic link to nothing; nothing written
        NotReplaceable,    // node; nothing written
        ChangedWhileOpen,  // nothing written
        CannotWrite,
        FolderNotSynced,   // replaced, but the rename may not survive a power cut
        TooManyArticles,   // count, more than limit
        LineTooLong,       // line, longer than limit bytes
        ZeroByte,          // line
        Text,              // line, text
        Article,           // line, article
        NoComma,           // line: an import line without the commas between its fields
    };
    // What a path names when it is no regular file.
    enum class Node { Directory, Fifo, Socket, Device, BlockDevice };

    Kind kind = Kind::CannotOpen;
    std::string file;  // the path, or the name the reader was given
    std::size_t line = 0;
    int systemError = 0;  // errno
    Node node = Node::Directory;
    std::uint64_t count = 0;
    std::uint64_t limit = 0;
    TextFault text;
    ECRArticleRules::Fault article;

    static FileFault OfFile(Kind kind, std::string file, int systemError = 0)
    {
        FileFault fault;
        fault.kind = kind;
        fault.file = std::move(file);
        fault.systemError = systemError;
        return fault;
    }
    static FileFault OfArticle(std::string file, std::size_t line, const ECRArticleRules::Fault& article)
    {
        FileFault fault = OfFile(Kind::Article, std::move(file));
        fault.line = line;
        fault.article = article;
        return fault;
    }
};
