// The clone run: enters the radio's programming mode and reads its whole memory, or writes
// the image's first 984 bytes, in acknowledged blocks of 8 bytes.
//
// A run paces itself with the hooks' sleeps and hands control to the surrounding program
// only through PumpOne, at fixed points; after each pump it tests IsCancelled. Every box it
// shows goes through the hooks while the port is still open (the hooks may keep a failure's
// box for later: ShowFailure). The port is closed on every way out, exceptions included.
#pragma once

#include <string>

#include "CloneHooks.h"
#include "LinkBytes.h"
#include "Port.h"
#include "RadioImage.h"
#include "Result.h"

enum class CloneDirection { Read, Write };

// A read moves the whole memory, a write the part up to addr::kWriteEnd, in blocks.
inline constexpr int kReadBlocks = static_cast<int>(addr::kImageSize / radiolink::kBlockSize);
inline constexpr int kWriteBlocks = static_cast<int>(addr::kWriteEnd / radiolink::kBlockSize);

// How many times a run tries the handshake before it asks the user whether to retry.
inline constexpr int kCloneHandshakeAttempts = 15;

enum class CloneEnd {
    Completed,
    Cancelled,           // a cancel check saw the request; no box was shown
    OpenFailed,          // the port could not be opened; nothing was sent
    CommunicationError,  // no programming mode, and the user answered Cancel
    ReadFailed,          // a block's reply was short or its acknowledgement missing
    WriteFailed,         // a block was not acknowledged
};

// One run over port, opened by name with the clone time-outs. The direction is fixed here
// for the whole run. The result's message is the text of the box that ended the run, empty
// when none did.
//
// The hooks hear of every acknowledged block, so a run that ends early tells how far it got.
//
// Read: image receives all 1024 bytes from the radio when, and only when, the run
// completes; any other end leaves it exactly as it was.
// Write: sends image bytes 0 to 983 as they are when the run starts; the caller encodes the
// editor into the image first. The image is not changed.
//
// handshakeAttempts: the attempts per round before the box asks; the hooks hear it as the
// "of" of each attempt. Only harnesses that must go fast through a silent radio lower it.
Result<CloneEnd> RunClone(IPort& port, ICloneHooks& hooks, const std::string& portName,
                          CloneDirection direction, RadioImage& image,
                          int handshakeAttempts = kCloneHandshakeAttempts);

// How far a probe got with the radio, the first value a radio ready for a read.
enum class ProbeEnd {
    Ready,        // the radio took the handshake and confirmed it, as a read needs
    OpenFailed,   // the port could not be opened; the message says why
    NoHandshake,  // nothing acknowledged the handshake
    Unconfirmed,  // the handshake was acknowledged, but the confirmation after the
                  // identification was not (noise before the radio's answers does this): a
                  // read could not go on
    Cancelled,    // a cancel check saw the request
};

// Whether a radio on portName could be read now: one attempt at the clone run's way into
// programming mode (handshake, identification, confirmation), no box, the port closed again
// at once. The hooks hear the identification when one came. An answering radio is left as a
// read leaves it, in programming mode, where the next session's handshake is heard at once.
Result<ProbeEnd> ProbeRadio(IPort& port, ICloneHooks& hooks, const std::string& portName);
