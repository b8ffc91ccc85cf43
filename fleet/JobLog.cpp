#include "JobLog.h"

#include <QCryptographicHash>
#include <algorithm>
#include <cstdlib>

#include "Backups.h"
#include "Csv.h"
#include "FileIO.h"
#include "IdSequence.h"
#include "Numbers.h"

namespace {

constexpr char kLineEnd[] = "\r\n";
constexpr std::size_t kColumns = logcolumn::kCount;
constexpr std::size_t kTimeColumn = logcolumn::kTime;
constexpr std::size_t kPortColumn = logcolumn::kPort;
constexpr std::size_t kIdColumn = logcolumn::kPttId;
// A log of a million jobs is about 300 MB; anything larger is not read whole.
constexpr std::size_t kMaxLogBytes = std::size_t{1} << 30;

// A new file's name is only safe once its folder is synced too.
void SyncFolderOf(const std::filesystem::path& path) {
    (void)FolderSyncError(path.has_parent_path() ? path.parent_path() : std::filesystem::path("."));
}

// A message on one line: a spreadsheet shows a field with line breaks as a tall cell.
std::string OneLine(const std::string& text) {
    std::string line;
    bool breaking = false;
    for (const char c : text) {
        if (c == '\r' || c == '\n') {
            breaking = true;
            continue;
        }
        if (breaking && !line.empty()) {
            line += "; ";
        }
        breaking = false;
        line += c;
    }
    return line;
}

std::string Seconds(double seconds) {
    return seconds < 0 ? std::string() : FormatFixed(seconds, 1);
}

// A row's job: a port runs one job at a time, and no two start in the same second.
std::string RowKey(std::string_view time, std::string_view port) {
    std::string key(time);
    key.append("\n").append(port);
    return key;
}

std::string Upper(std::string id) {
    std::transform(id.begin(), id.end(), id.begin(),
                   [](char c) { return c >= 'a' && c <= 'f' ? static_cast<char>(c - 32) : c; });
    return id;
}

// The text of a log or journal; a missing file is empty.
Result<> ReadText(const std::filesystem::path& path, std::string& text) {
    text.clear();
    std::error_code error;
    if (!std::filesystem::exists(path, error)) {
        return {};
    }
    std::vector<std::uint8_t> bytes;
    std::uintmax_t size = 0;
    if (Result<> read = ReadRegularFile(path, kMaxLogBytes, bytes, &size, "Cannot read"); !read) {
        return read;
    }
    if (size > kMaxLogBytes) {
        return Failure("Cannot read " + QuotedPath(path) + ": the file is too large.");
    }
    text.assign(bytes.begin(), bytes.end());
    return {};
}

// A job log starts with its header; an empty file is a log without rows yet.
Result<> CheckHeader(const std::filesystem::path& path, std::string_view text) {
    if (text.starts_with("\xEF\xBB\xBF")) {
        text.remove_prefix(3);
    }
    const std::string_view first = text.substr(0, text.find_first_of("\r\n"));
    if (text.empty() || first == kJobLogHeader) {
        return {};
    }
    return Failure(QuotedPath(path) + " is not a job log: its first line is not \"" +
                   kJobLogHeader + "\". Choose another file; a new name starts a new job log.");
}

// What ends a log cut in the middle of a row: a closing quote when the cut fell inside a
// quoted field (an odd number of quotes so far), then the line end.
std::string Mending(std::string_view text) {
    if (text.empty() || text.back() == '\n') {
        return {};
    }
    std::string mending = std::count(text.begin(), text.end(), '"') % 2 == 1 ? "\"" : "";
    return mending.append(kLineEnd);
}

// The rows of a log's text (header first); a fault leaves the rows before it.
Result<> ParseRows(const std::filesystem::path& path, std::string_view text, CsvTable& table) {
    if (Result<> parsed = ParseCsvBytes(text, table); !parsed) {
        return Failure("Cannot read the job log " + QuotedPath(path) + ": " + parsed.message + ".");
    }
    return {};
}

// The IDs of rows that may have left them in a radio: every row that names one.
void AddUsedIds(const CsvTable& table, CUsedIds& used, std::set<std::string>* keys) {
    for (std::size_t i = 1; i < table.records.size(); ++i) {
        const CsvRecord& row = table.records[i];
        if (row.size() <= kIdColumn) {
            continue;
        }
        const std::string id = Upper(row[kIdColumn]);
        if (keys) {
            keys->insert(RowKey(row[kTimeColumn], row[kPortColumn]));
        }
        if (!id.empty() && CIdSequence::Check(id)) {
            used.Add(id, row[kTimeColumn], static_cast<int>(i) + 1);
        }
    }
}

// The journal's rows: whole ones only, a row cut by the end of the file is dropped (its job
// never got as far as writing).
CsvTable JournalRows(const std::filesystem::path& log) {
    std::string text;
    CsvTable table;
    if (ReadText(JournalPath(log), text)) {
        ParseCsvBytes(text, table);
    }
    std::erase_if(table.records, [](const CsvRecord& row) { return row.size() != kColumns; });
    return table;
}

CsvRecord Fields(const JobRecord& record) {
    return {LogTime(record.time),   record.port,   record.type,
            record.radioId,         record.pttId,  record.file,
            record.imageSha256,     record.backup, OneLine(record.result),
            Seconds(record.seconds)};
}

std::string Key(const JobRecord& record) {
    return RowKey(LogTime(record.time), record.port);
}

}  // namespace

std::string LogTime(const QDateTime& time) {
    // The offset always as +HH:MM, also where it is zero (Qt would write "Z").
    const int offset = time.offsetFromUtc();
    const int minutes = std::abs(offset) / 60;
    return time.toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss")).toStdString() +
           (offset < 0 ? "-" : "+") + FormatPadded(minutes / 60, 2) + ":" +
           FormatPadded(minutes % 60, 2);
}

std::string WrittenSha256(const RadioImage& image) {
    const QByteArray bytes(reinterpret_cast<const char*>(image.data()),
                           static_cast<qsizetype>(addr::kWriteEnd));
    return QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex().toStdString();
}

std::filesystem::path DefaultJobLogPath() {
    const std::filesystem::path backups = PathFromUtf8(BackupFolder().toStdString());
    return backups.parent_path() / "jobs.csv";
}

std::filesystem::path JournalPath(const std::filesystem::path& log) {
    std::filesystem::path journal = log;
    journal += ".pending";
    return journal;
}

CJobLog::~CJobLog() {
    if (m_journal.IsOpen()) {
        m_journal.Close();
        if (m_pending.empty()) {
            RemoveFile(JournalPath(m_path));
        }
    }
    m_file.Close();  // lets the lock go
}

Result<> CJobLog::Open() {
    const std::lock_guard lock(m_mutex);
    if (Result<> opened = m_file.Open(m_path, "Cannot write the job log"); !opened) {
        return opened;
    }
    if (!m_file.TryLock()) {
        return Failure("the job log " + QuotedPath(m_path) +
                       " is in use by another production run: wait until it ends, or choose "
                       "another log");
    }
    std::string text;
    if (Result<> read = ReadText(m_path, text); !read) {
        return read;
    }
    if (Result<> header = CheckHeader(m_path, text); !header) {
        return header;
    }
    std::string start = text.empty() ? std::string(kJobLogHeader) + kLineEnd : Mending(text);
    if (!start.empty()) {
        if (Result<> wrote = m_file.AppendWhole(start); !wrote) {
            return wrote;
        }
        text += start;
    }
    CsvTable table;
    if (Result<> parsed = ParseRows(m_path, text, table); !parsed) {
        return parsed;
    }
    std::set<std::string> logged;
    AddUsedIds(table, m_used, &logged);
    int rows = static_cast<int>(table.records.size());
    return LogCutShortJobs(logged, rows);
}

// Every job of the journal without a row of its own gets its row now: it may have written
// its radio.
Result<> CJobLog::LogCutShortJobs(const std::set<std::string>& logged, int& rows) {
    const CsvTable journal = JournalRows(m_path);
    std::set<std::string> done = logged;
    for (const CsvRecord& row : journal.records) {
        const std::string id = Upper(row[kIdColumn]);
        if (!done.insert(RowKey(row[kTimeColumn], row[kPortColumn])).second) {
            continue;
        }
        if (Result<> wrote = m_file.AppendWhole(CsvLine(row)); !wrote) {
            return wrote;  // the journal stays for the next try
        }
        ++rows;
        if (!id.empty() && CIdSequence::Check(id)) {
            m_used.Add(id, row[kTimeColumn], rows);
        }
    }
    if (!journal.records.empty() || std::filesystem::exists(JournalPath(m_path))) {
        RemoveFile(JournalPath(m_path));
        SyncFolderOf(m_path);
    }
    return {};
}

Result<> CJobLog::BeginWrite(const JobRecord& cutShort) {
    const std::lock_guard lock(m_mutex);
    const std::filesystem::path journal = JournalPath(m_path);
    if (!m_journal.IsOpen()) {
        if (Result<> opened = m_journal.Open(journal, "Cannot write the job log's journal");
            !opened) {
            return opened;
        }
        SyncFolderOf(journal);
    }
    if (Result<> wrote = m_journal.AppendWhole(CsvLine(Fields(cutShort))); !wrote) {
        return wrote;
    }
    m_pending.insert(Key(cutShort));
    return {};
}

Result<> CJobLog::Append(const JobRecord& record) {
    const std::lock_guard lock(m_mutex);
    if (Result<> wrote = m_file.AppendWhole(CsvLine(Fields(record))); !wrote) {
        return wrote;
    }
    if (const auto pending = m_pending.find(Key(record)); pending != m_pending.end()) {
        m_pending.erase(pending);
    }
    return {};
}

Result<> CJobLog::ReadRows(const std::filesystem::path& path, CsvTable& table) {
    table = {};
    std::string text;
    if (Result<> read = ReadText(path, text); !read) {
        return read;
    }
    if (Result<> header = CheckHeader(path, text); !header) {
        return header;
    }
    text += Mending(text);
    return ParseRows(path, text, table);
}

Result<> CJobLog::ReadUsed(const std::filesystem::path& path, CUsedIds& used) {
    used = {};
    CsvTable table;
    if (Result<> read = ReadRows(path, table); !read) {
        return read;
    }
    AddUsedIds(table, used, nullptr);
    // A job in the journal is writing a radio now, or was when its run ended.
    for (const CsvRecord& row : JournalRows(path).records) {
        const std::string id = Upper(row[kIdColumn]);
        if (!id.empty() && CIdSequence::Check(id) && !used.Find(id)) {
            used.Add(id, row[kTimeColumn], 0);
        }
    }
    return {};
}
