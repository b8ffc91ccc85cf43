// The write a dealer can trust. The clone protocol has no checksum, so a write is wrapped in
// two more sessions with the radio:
//   1. back up: read the whole radio and save it as a "before-write" backup; nothing is
//      written until that backup is on the disk (synced);
//   2. write, exactly as a plain write does (the same bytes and pauses on the line);
//   3. verify: read the radio back and compare bytes 0x000-0x3D7 with what was sent; a
//      mismatch can be written again.
// Each stage is a clone run of its own over the same port. With neither backup nor verify it
// is exactly the plain write. The hooks see one progress bar over all the stages and the
// stage's name in the status line.
//
// A radio of another type than the image is written only when the hooks agree. The backup
// tells the radio's type; without a backup the write session learns it from the radio's
// identification (its memory from addr::kModelBlock on, sent before any block) and ends
// right there, before a block goes out, when the type differs; the question is asked with
// the port closed, and only a yes runs the write session again.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "CloneExchange.h"
#include "CloneHooks.h"
#include "Port.h"
#include "RadioImage.h"
#include "Result.h"

// A safe write's stages, in the order they run.
enum class WriteStage { Backup, Write, Verify };

// The status line of each stage.
inline constexpr std::string_view kStatusBackingUp = "Backing up the radio...";
inline constexpr std::string_view kStatusWriting = "Writing...";
inline constexpr std::string_view kStatusChecking = "Checking the radio...";

// What the program around a safe write decides besides the clone run's own questions.
class ISafeWriteHooks : public ICloneHooks {
public:
    // The radio is a radioType but the image is for a documentType: write anyway?
    virtual bool WriteOtherType(std::string_view radioType, std::string_view documentType) = 0;
    // The check found the radio holding something else (text says what): Retry writes again.
    virtual RetryAnswer AskWriteAgain(std::string_view text) = 0;
    // The radio was written and does not answer its check (text is the communication error):
    // Retry tries the check again and writes nothing. Asked as AskRetryCancel unless the hooks
    // say more.
    virtual RetryAnswer AskRetryCheck(std::string_view text) { return AskRetryCancel(text); }
    // Called once before each write session opens the port, after the backup and any
    // question of the radio's type: the last moment nothing of this session has been sent.
    // A failure ends the safe write as Refused with the failure's message.
    virtual Result<> BeforeWriting() { return {}; }
};

struct SafeWriteOptions {
    bool backup = true;
    bool verify = true;
    std::string source;     // what is written, for messages and the backups' names: the
                            // document's or file's name
    std::string checkHint;  // how the user checks a radio: "use Compare With Radio"
    // How the user restores the backup at a path into the radio on a port, ending the advice
    // "or restore the backup ...": "with kvprog-cli restore --port COM1 \"PATH\"". Unset: the
    // quoted path and a full stop.
    std::function<std::string(const std::string& port, const std::string& backupPath)> restoreHint;
};

enum class SafeWriteEnd {
    Done,         // written, and checked when verify was asked
    Cancelled,    // stopped by the user; message says what the radio holds, empty when the
                  // write had not begun
    OpenFailed,   // the port could not be opened (its box was shown); nothing was written
    NotBackedUp,  // the backup read failed, or its file could not be saved (message: why, and
                  // the fix); nothing was written
    OtherType,    // the radio is of another type and the hooks said no (message empty), or
                  // its identification was too short to tell (message says so); nothing was
                  // written
    WriteFailed,  // the write did not complete; message says what the radio holds
    NotChecked,   // written, but the radio could not be read back
    Mismatch,     // written, and the radio holds something else than was sent
    Refused,      // the program around refused to start a write session (BeforeWriting
                  // failed; message is its failure's): that session sent nothing, so nothing
                  // was written unless an earlier session of this run wrote (blockSent)
};

// What a safe write found out, whichever way it ended.
struct SafeWriteReport {
    bool backedUp = false;
    RadioImage before;        // what the radio held, when backedUp
    std::string backupPath;   // the before-write backup, when it could be saved
    std::string backupError;  // why the copy of what was sent could not be saved
    // The radio's own type as RadioTypeText tells it ("KV - T520"), from the backup or from an
    // identification; empty when neither told it.
    std::string radioType;
    int blocksWritten = 0;  // of kWriteBlocks in the last write attempt
    bool checked = false;
    RadioImage readBack;  // what the radio held afterwards, when checked
    // A block of a write went to the radio, acknowledged or not: the radio may hold some of
    // the image.
    bool blockSent = false;
};

// Writes image (bytes 0x000-0x3D7 as they are now) to the radio on portName. The result's
// message says, in a sentence for the user, what was and was not done whenever it is not
// Done (empty for an OpenFailed, whose box said it, for an OtherType the hooks said no to,
// and for a cancel before anything was written).
Result<SafeWriteEnd> RunSafeWrite(IPort& port, ISafeWriteHooks& hooks, const std::string& portName,
                                  const RadioImage& image, const SafeWriteOptions& options,
                                  SafeWriteReport& report);

// Puts a backup back into the radio: bytes 0x000-0x3D7 exactly as the backup holds them,
// never the form's reading of them (which would change bytes the form cannot show), with
// the steps of a safe write. options.source names the backup.
Result<SafeWriteEnd> RunRestore(IPort& port, ISafeWriteHooks& hooks, const std::string& portName,
                                const RadioImage& backup, const SafeWriteOptions& options,
                                SafeWriteReport& report);
