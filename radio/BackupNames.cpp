#include "BackupNames.h"

#include <QStringList>

#include <algorithm>
#include <array>

#include "NewDocument.h"

namespace {

constexpr qsizetype kStampLength = 15;  // YYYYMMDD-HHMMSS
constexpr qsizetype kMaxPortLength = 20;
constexpr qsizetype kMaxTypeLength = 10;
constexpr qsizetype kMaxFileLength = 40;

// Tried in this order: "before-write" ends in "write" too.
constexpr std::array kKinds = {BackupKind::BeforeWrite, BackupKind::Read, BackupKind::Sent};

QString KindWord(BackupKind kind) {
    switch (kind) {
        case BackupKind::Read:
            return QStringLiteral("read");
        case BackupKind::BeforeWrite:
            return QStringLiteral("before-write");
        case BackupKind::Sent:
            break;
    }
    return QStringLiteral("write");
}

bool AllDigits(QStringView text) {
    return !text.isEmpty() &&
           std::all_of(text.begin(), text.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
}

// What Windows refuses in a file name, and DEL with the other control characters.
bool Refused(QChar c) {
    return c.unicode() < 0x20 || c.unicode() == 0x7F || QStringView(u"<>:\"/\\|?*").contains(c);
}

// text as one part of a name: what Windows refuses (and, in a part that must not hold one,
// a dash or a space) becomes "_", cut to at most max characters (never inside a character
// of two UTF-16 units), without spaces or dashes at its ends, which would run into the
// dashes between the parts.
QString NamePart(const QString& text, qsizetype max, bool dashFree) {
    QString part;
    for (const QChar c : text) {
        const bool split = dashFree && (c == u'-' || c.isSpace());
        part += Refused(c) || split ? QChar(u'_') : c;
    }
    if (part.size() > max) {
        part.truncate(part.at(max - 1).isHighSurrogate() ? max - 1 : max);
    }
    const auto edge = [](QChar c) { return c == u'-' || c.isSpace(); };
    qsizetype begin = 0;
    qsizetype end = part.size();
    while (begin < end && edge(part.at(begin))) {
        ++begin;
    }
    while (end > begin && edge(part.at(end - 1))) {
        --end;
    }
    return part.sliced(begin, end - begin);
}

// The port as a person knows it: a COM name as it is, a device path by its last name
// ("ttyUSB0"; "/dev/pts/3" keeps its folder's name: "pts3"), on either system's separators.
// Never all digits, never empty.
QString PortPart(const std::string& port) {
    const QStringList parts =
        QString::fromStdString(port).replace(u'\\', u'/').split(u'/', Qt::SkipEmptyParts);
    QString last = parts.isEmpty() ? QString() : parts.constLast();
    if (!last.isEmpty() && last.front().isDigit() && parts.size() > 1) {
        last.prepend(parts.at(parts.size() - 2));
    }
    const QString part = NamePart(last, kMaxPortLength, true);
    return part.isEmpty() || AllDigits(part) ? QStringLiteral("port") + part : part;
}

// The model a person knows the radio by: the last word of RadioTypeText, "T520", or the
// model code of a type the program does not know.
QString TypePart(const RadioImage& image) {
    const QString text = QString::fromStdString(RadioTypeText(image));
    return NamePart(text.sliced(text.lastIndexOf(u' ') + 1), kMaxTypeLength, true);
}

// The file written, by its name without the folder and ".sin"; a backup written back by its
// time, "backup 20240305-141502", as its own name would make this one long and hard to read.
// A copy of what was sent whose file ends in "-before" would read as a before-write backup:
// it gets a "_" more.
QString FilePart(const std::string& file, BackupKind kind) {
    QString name = QString::fromStdString(file).replace(u'\\', u'/');
    name = name.sliced(name.lastIndexOf(u'/') + 1);
    if (const auto backup = ParseBackupName(name)) {
        name = QStringLiteral("backup ") + backup->stamp;
    } else if (name.endsWith(QStringLiteral(".sin"), Qt::CaseInsensitive)) {
        name.chop(4);
    }
    QString part = NamePart(name, kMaxFileLength, false);
    if (kind == BackupKind::Sent &&
        (part == QStringLiteral("before") || part.endsWith(QStringLiteral("-before")))) {
        part += u'_';
    }
    return part;
}

// rest less the kind's word at its end ("...-read", or "read" alone), or none. What is left
// neither starts nor ends with a dash.
std::optional<QStringView> WithoutKind(QStringView rest, BackupKind kind) {
    const QString word = KindWord(kind);
    if (rest == word) {
        return QStringView();
    }
    if (!rest.endsWith(QStringLiteral("-") + word)) {
        return std::nullopt;
    }
    const QStringView left = rest.chopped(word.size() + 1);
    if (left.isEmpty() || left.startsWith(u'-') || left.endsWith(u'-')) {
        return std::nullopt;
    }
    return left;
}

// The next part of rest up to its dash, or all of it; rest keeps what follows the dash.
QStringView TakePart(QStringView& rest) {
    const qsizetype dash = rest.indexOf(u'-');
    const QStringView part = dash < 0 ? rest : rest.first(dash);
    rest = dash < 0 ? QStringView() : rest.sliced(dash + 1);
    return part;
}

}  // namespace

bool HoldsWhatRadiosHeld(BackupKind kind) {
    return kind != BackupKind::Sent;
}

BackupName DescribeBackup(const QString& stamp, BackupKind kind, const BackupOrigin& origin,
                          const RadioImage& image) {
    BackupName name;
    name.stamp = stamp;
    name.kind = kind;
    name.port = PortPart(origin.port);
    name.type = TypePart(image);
    name.file = FilePart(origin.file, kind);
    return name;
}

QString BackupFileName(const BackupName& name) {
    QString text = name.stamp;
    if (name.sequence != 1) {
        text += QStringLiteral("-%1").arg(name.sequence);
    }
    for (const QString& part : {name.port, name.type, name.file}) {
        if (!part.isEmpty()) {
            text += QStringLiteral("-") + part;
        }
    }
    return text + QStringLiteral("-") + KindWord(name.kind) + QStringLiteral(".sin");
}

std::optional<BackupName> ParseBackupName(const QString& name) {
    if (!name.endsWith(QStringLiteral(".sin"))) {
        return std::nullopt;
    }
    QStringView rest = QStringView(name).chopped(4);
    if (rest.size() < kStampLength + 2 || !AllDigits(rest.first(8)) || rest[8] != u'-' ||
        !AllDigits(rest.sliced(9, 6)) || rest[kStampLength] != u'-') {
        return std::nullopt;
    }
    BackupName parsed;
    parsed.stamp = rest.first(kStampLength).toString();
    rest = rest.sliced(kStampLength + 1);
    const auto kind = std::find_if(kKinds.begin(), kKinds.end(),
                                   [rest](BackupKind k) { return WithoutKind(rest, k); });
    if (kind == kKinds.end()) {
        return std::nullopt;
    }
    parsed.kind = *kind;
    rest = *WithoutKind(rest, *kind);
    if (QStringView first = rest; AllDigits(TakePart(first))) {
        parsed.sequence = TakePart(rest).toInt();
    }
    if (rest.isEmpty()) {
        return parsed;  // an earlier version's name
    }
    parsed.port = TakePart(rest).toString();
    parsed.type = TakePart(rest).toString();
    parsed.file = rest.toString();
    if (parsed.port.isEmpty() || parsed.type.isEmpty()) {
        return std::nullopt;
    }
    return parsed;
}

std::optional<BackupName> ParseBackupName(const QString& name, BackupKind folderKind) {
    std::optional<BackupName> parsed = ParseBackupName(name);
    if (parsed && HoldsWhatRadiosHeld(parsed->kind) != HoldsWhatRadiosHeld(folderKind)) {
        return std::nullopt;
    }
    return parsed;
}
