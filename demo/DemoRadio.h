// The demo radio's memory: one radio for the whole process, lent to one session at a time,
// and kept in a file between runs, as a radio keeps its memory while switched off. Each
// kvprog-cli verb is a process of its own: without the file, `kvprog-cli read --port DEMO`
// would never show what `kvprog-cli write --port DEMO` wrote.
#pragma once

#include <filesystem>
#include <mutex>
#include <optional>
#include <string>

#include "RadioImage.h"
#include "Result.h"

// What a demo radio holds before anything was written to it: a new document with three
// channels.
RadioImage DemoImage();

class CDemoRadio {
public:
    // file keeps the memory between runs; it is read at the first session and written after
    // every session that changed the memory. Empty: the memory lasts for the run only.
    explicit CDemoRadio(std::filesystem::path file) : m_file(std::move(file)) {}

    // Lends the memory to a session; refused while another session has it, as a serial
    // port is one program's at a time. name is the port's, for the message.
    Result<> Take(const std::string& name, RadioImage& memory);
    // The session is over: memory is what the radio now holds.
    void Give(const RadioImage& memory);

private:
    std::mutex m_mutex;
    const std::filesystem::path m_file;
    std::optional<RadioImage> m_memory;  // read from the file at the first session
    bool m_taken = false;
};

// The process's demo radio, kept in <user data folder>/kvprog/demo-radio.sin.
CDemoRadio& TheDemoRadio();
