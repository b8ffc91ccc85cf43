// One step of the document's history: the bytes of the image that a change touched, as they
// were before and after it. Only the range from the first to the last changed byte is kept,
// so a step costs a few bytes, however large the image.
#pragma once

#include <QUndoCommand>
#include <cstdint>
#include <functional>
#include <vector>

#include "RadioImage.h"

class CImageChange : public QUndoCommand {
public:
    // The change from before to image, or nullptr when the two are the same. restored runs
    // after undo or redo has put bytes back, so that the form shows them.
    static CImageChange* Between(const RadioImage& before, RadioImage& image, const QString& name,
                                 std::function<void()> restored);

    void undo() override;
    void redo() override;

private:
    CImageChange(RadioImage& image, std::size_t offset, std::vector<std::uint8_t> before,
                 std::vector<std::uint8_t> after, const QString& name,
                 std::function<void()> restored);
    void Put(const std::vector<std::uint8_t>& bytes);

    RadioImage& m_image;
    std::size_t m_offset;
    std::vector<std::uint8_t> m_before;
    std::vector<std::uint8_t> m_after;
    std::function<void()> m_restored;
    bool m_applied = true;  // pushed after the change was made: the first redo does nothing
};
