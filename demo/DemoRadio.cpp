#include "DemoRadio.h"

#include <string_view>

#include "Backups.h"
#include "ChannelCodec.h"
#include "ChannelImport.h"
#include "FileIO.h"
#include "NewDocument.h"
#include "SinFile.h"

namespace {

constexpr std::string_view kDemoChannels =
    "CH,Receive(MHz),Transmit(MHz),Rx Tone,Tx Tone,Busy,W/N,Scan,Power\r\n"
    "1,462.5625,467.5625,67.0,67.0,NO,Narrow,Add,High\r\n"
    "2,462.5875,467.5875,D023N,D023N,YES,Wide,Add,Middle\r\n"
    "3,450.00625,,OFF,OFF,NO,Wide,Delete,Low\r\n";

}  // namespace

RadioImage DemoImage() {
    RadioImage image = NewDocumentImage(RadioType::T310X);
    CsvTable table;
    ToneList tones;
    tones.Build();
    EditorModel model = DecodeForDisplay(image);
    // The channels are fixed and valid: a failure here is a fault the demo port's test catches.
    if (ParseCsv(kDemoChannels, table).ok() && ImportChannels(table, tones, model).ok()) {
        EncodeImage(model, image);
    }
    return image;
}

Result<> CDemoRadio::Take(const std::string& name, RadioImage& memory) {
    const std::lock_guard lock(m_mutex);
    if (m_taken) {
        return Failure(name + ": the simulated radio is in use by another exchange");
    }
    if (!m_memory) {
        RadioImage kept;
        // A missing or damaged file starts the radio afresh.
        m_memory = !m_file.empty() && LoadSinFile(m_file, kept).ok() ? kept : DemoImage();
    }
    m_taken = true;
    memory = *m_memory;
    return {};
}

void CDemoRadio::Give(const RadioImage& memory) {
    const std::lock_guard lock(m_mutex);
    m_taken = false;
    if (memory == m_memory) {
        return;
    }
    m_memory = memory;
    if (!m_file.empty()) {
        // The file holds no one's data: when it cannot be written the memory lasts for this
        // run only, and nothing more is lost.
        std::error_code error;
        std::filesystem::create_directories(m_file.parent_path(), error);
        (void)SaveSinFile(m_file, memory);
    }
}

CDemoRadio& TheDemoRadio() {
    static CDemoRadio radio(PathFromUtf8((DataFolder() + "/demo-radio.sin").toStdString()));
    return radio;
}
