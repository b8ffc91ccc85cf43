// The fixed texts of the radio link: its message boxes and the transfer progress dialog.
// They are the program's own words, byte for byte (note the double blank in kMsgShortReply,
// the leading blank of kMsgSendOrder and the full-width punctuation).
#pragma once

#include <string>
#include <string_view>

// Message boxes.
inline constexpr std::string_view kMsgOpenFailed =
    "Could not Open the Port,Please check whether the Port are occupied or the device are ok";
inline constexpr std::string_view kMsgSendOrder = " Error in the Send Order";
inline constexpr std::string_view kMsgShortReply = "not received enough  byte";
inline constexpr std::string_view kMsgTransferError = "Error had happen,please try again";
inline constexpr std::string_view kMsgCommunicationError =
    "Communication Error，Please check all the connections and the radio power";

// The open failure box: the fixed text, then the system's reason on its own paragraph.
std::string OpenFailedText(std::string_view reason);

// What a write that ended part-way leaves: "the write HOW after N of TOTAL blocks: the
// radio now holds part of SOURCE and part of what it held before. Write it again, or
// restore the backup RESTORE" - or, when not even the first block was acknowledged, "the
// write HOW at the first block: the radio did not acknowledge it and may hold that block of
// SOURCE, or part of it. Write it again, ...". HOW is "was stopped" or "failed"; RESTORE
// names the backup and how to restore it, and ends the text (without one: "Write it
// again.").
std::string PartWrittenText(std::string_view how, int blocks, int total, std::string_view source,
                            std::string_view restore);

// What undoes a write the radio did not take as sent: "Write it again, or restore the backup
// RESTORE", or without a backup "Write it again.".
std::string WriteAgainText(std::string_view restore);

// The transfer progress dialog (CProgressDlg).
inline constexpr std::string_view kCaptionReading = "Reading Data Progress";
inline constexpr std::string_view kCaptionWriting = "Writing Data Progress";
inline constexpr std::string_view kStartButton = "Start";
inline constexpr std::string_view kCancelButton = "Cancel";
inline constexpr std::string_view kProgressLabel = "Progress：";
inline constexpr std::string_view kStatusNotStarted = "   Not start yet";
inline constexpr std::string_view kStatusDetecting =
    "Now are detecting Communication Port,Please wait...";
inline constexpr std::string_view kStatusWaiting = "Waiting the response from radio....";

// The progress bar runs from 0 to 123 in steps of 1.
inline constexpr int kProgressMaximum = 123;
inline constexpr int kProgressStep = 1;
