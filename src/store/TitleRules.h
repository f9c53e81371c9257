#pragma once

#include "store/TitleTable.h"

#include <QList>
#include <QString>
#include <QStringList>

// What a text must satisfy before it can become a title: the name of a record and the base name of its volume
// file, memo and cover pictures in a folder that does not tell letter case apart. Every way a title enters the
// collection (typed, imported) goes through these checks, so that no two records can share a file and no title
// can name a file it may not.
namespace titlerules {

// The form the data files hold text in: the characters Linux input methods type where Windows has a twin (〜 − —
// ‖ ¢ £ ¬) become that twin (～ － ― ∥ ￠ ￡ ￢). Every title, name and memo from any source (typed, edited,
// a spreadsheet, the free edition) is put in this form before any check, file name or undo step, so that 星〜
// and 星～ are one title with one set of files.
QString storedForm(const QString& text);

// The eleven half-width characters a title may not hold: \ / : , ; * ? " < > |
bool hasRefusedCharacter(const QString& title);
inline const QString RefusedCharacterMessage = QStringLiteral("\\ / : , ; * ? < > |\u3000の文字は使えません。");

// Empty when text can be stored in the data files; else a Japanese message for the user naming what is
// wrong: characters code page 932 cannot hold (named), control characters (line breaks count as such unless
// allowLineBreaks), a double quote when refuseQuote (names are stored in quotes without escaping).
// what names the field in the message ("題名", "著者名", ...).
QString storableProblem(const QString& text, const QString& what, bool allowLineBreaks = false,
                        bool refuseQuote = true);

// Empty when every file of the title (title + ".TXT", "_C.txt", ".jpg", ...) fits a file name; else a message
// saying how long a title may be. The limit is 255 bytes of UTF-8 with the longest suffix "_C.txt".
QString fileNameProblem(const QString& title);

// Empty, or why title cannot be taken: one of its files would be one of the program's own (names them all).
QString programFileProblem(const QString& title);

// Index of a record whose files would be the same files as those of title in a folder that does not tell
// letter case apart (Ａ and ａ, A and a), other than a record with exactly that title; 0 when none. Every one of
// the title's file names is compared with every file name of every record (so "abc_C" is caught beside "abc").
int fileCollisionIndex(const TitleTable& table, const QString& title);

// Why title's files would be those of other (a different title that shares a file with it); other is
// described by otherLabel (RegisteredLabel for a record of the collection).
inline const QString RegisteredLabel = QStringLiteral("登録済みの");
QString fileTwinProblem(const QString& title, const QString& other, const QString& otherLabel);

// The advice the add gives after a refusal because of another title's or the program's files.
inline const QString DistinguishAdvice = QStringLiteral("\r\n\r\n題名の後ろに作者名を入れるなどして区別して下さい");

enum class Fault {
    None,
    RefusedCharacter, // one of the eleven characters (reason: RefusedCharacterMessage)
    NotStorable,      // characters the files cannot hold
    BadFileName,      // empty, too long, or not a file name
    ProgramFile,      // a file of the title would be one of the program's own
    SameTitle,        // exactly the title of a record, or of an earlier candidate
    FileTwin,         // shares a file with a record or an earlier candidate (letter case, "abc" and "abc_C")
};

struct Verdict {
    Fault fault = Fault::None;
    QString reason;     // Japanese, for the user; empty when the title may be taken
    int record = 0;     // SameTitle, FileTwin: the record of the table it meets, or 0
    int candidate = -1; // SameTitle, FileTwin: the earlier candidate it meets, or -1
    bool ok() const { return fault == Fault::None; }
};

// The first fault of title against the records of table, checked in the order of Fault.
Verdict checkTitle(const TitleTable& table, const QString& title);

// One verdict per candidate, in order: each checked as checkTitle against table, then against the candidates
// before it that were found fit (a later one meeting an earlier one is the one refused). Linear in the sizes of
// table and candidates.
QList<Verdict> checkTitles(const TitleTable& table, const QStringList& candidates);

} // namespace titlerules
