// The keyword settings without their window: the 27 keywords a teacher may
// rename, what is refused before anything is written, and the two user
// files built from the shipped ones ("KORU.dat" and "wordindex.html" in the
// work folder). The shipped files never change.
#pragma once

#include "model/filecommands.h"
#include "model/messages.h"
#include "text/keywordtable.h"

#include <QString>
#include <QStringList>
#include <optional>

namespace koru {

// Keyword boxes: lines 1 to 27 of the keyword file (line 28, "if", is fixed).
inline constexpr int KeywordBoxCount = 27;

inline const QString UserIndexPageName = QStringLiteral("wordindex.html");
inline const QString ShippedIndexPage = QStringLiteral("HTML\\Word\\index.html");
inline const QString WordHelpFolder = QStringLiteral("HTML\\Word\\");

// Shown when a box is empty or holds a comma; the window then closes
// without writing.
inline const QString EmptyOrCommaMessage = QStringLiteral("設定項目が空白かカンマが含まれて下ります。");

// The settings' box of each role, in line order: its group title, its
// caption, its column, and whether it is shown at all (the "off" roles of
// the experiment board are only carried from file to file).
struct KeywordBox
{
    int line;
    const char *group;
    const char *caption;
    bool right;
    bool shown;
};
const QList<KeywordBox> &KeywordBoxes();

// What the settings call a role (line 1 to 27): group and caption.
QString KeywordRoleCaption(int line);

// The box texts shown for a keyword file: field 3 of lines 1 to 27.
QStringList KeywordBoxTexts(const QStringList &keywordLines);

struct KeywordRefusal
{
    QString message;
    int line = 0;             // the box (1 to 27) to put right
    bool closeWindow = false; // the empty-or-comma refusal closes the window
};

// Why the language could not use these 27 keywords, or nullopt when it can.
// Refused besides an empty box or a comma: blanks of any kind (program lines
// lose their half-width blanks, and the others break a statement), the
// characters of the statement syntax ( ) ; { } and "//", the fixed words
// "if" and "else", the same keyword for two roles (compared in lower case,
// as statements are), characters the help page cannot show as typed
// (< > &) and characters the Shift-JIS keyword file cannot hold.
std::optional<KeywordRefusal> RefusalOf(const QStringList &boxTexts);

// The user keyword file: each shipped line with its keyword field replaced
// by its box ("if" unchanged), every other field as shipped.
QStringList UserKeywordLines(const QStringList &shippedLines, const QStringList &boxTexts);

// The default keywords in the order the index page is rewritten in, with
// the box each one takes its new name from.
struct IndexKeyword
{
    const char *keyword;
    int line;
};
const QList<IndexKeyword> &IndexKeywords();

// The user index page: in each shipped line the first default keyword it
// contains is replaced by its box text everywhere on that line, and every
// link ("<a href=" and a quote) is pointed into helpFolderUrl, the installed
// help pages, since the page itself lives in the work folder.
QStringList UserIndexLines(const QStringList &shippedLines, const QStringList &boxTexts,
                           const QString &helpFolderUrl);

// The file URL of the installed "HTML\Word\" folder, ending in "/".
QString WordHelpFolderUrl();
QString UserIndexPagePath();
// The page the text window shows: the user's when it exists, else the shipped one.
QString ActiveIndexPagePath();

struct ApplyResult
{
    bool written = false;
    std::optional<KeywordRefusal> refusal; // set when nothing was written for this reason
    QString failure;                       // a file could not be read or written
};

// "適用": checks the boxes, then writes the user keyword file and index page
// from the shipped files. Nothing is written when a box is refused or a
// shipped file cannot be read, and both files stay as they were when
// either cannot be written (all or nothing).
ApplyResult ApplyKeywords(const QStringList &boxTexts);

// ---- A keyword set to hand on -------------------------------------------
// A teacher gives every PC the same words: the boxes go to a file and come
// back from one on another PC, to be applied there as typed.
//
// A keyword set file: "KEYWORDS", then the 27 box texts in box order, one a
// line; blank lines may follow. Shift-JIS with CR LF, as the program files.
inline const QString KeywordSetSection = QStringLiteral("KEYWORDS");
inline const FileKind KeywordSetFiles{QStringLiteral("keywords"), QStringLiteral("命令語ファイル(*.txt)|*.txt"),
                                      QStringLiteral(".txt"), QStringLiteral("(命令語).txt"), SaveFailed};

inline const QString KeywordSetDamagedMessage =
    QStringLiteral("指定したファイルは命令語のファイルではないか、壊れている為、読み込むことが出来ません。");
// Followed by the refusal's own message, naming the role and the word.
inline const QString KeywordSetRefusedMessage =
    QStringLiteral("指定したファイルの命令語は設定出来ない為、読み込みませんでした。");

QStringList KeywordSetLines(const QStringList &boxTexts);

struct KeywordSetRead
{
    std::optional<QStringList> boxTexts; // all 27, when every one may be used
    QString message;                     // why not
};

// The 27 keywords of a keyword set file, only when the file is whole and
// the set passes every check the boxes pass (RefusalOf): a set is taken
// all or not at all.
KeywordSetRead ParseKeywordSet(const QStringList &fileLines);
// Reads a regular file of program size only (a folder or a pipe is
// refused at once), then ParseKeywordSet.
KeywordSetRead ReadKeywordSet(const QString &path);

} // namespace koru
