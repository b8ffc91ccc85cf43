#include "ImageChange.h"

#include <algorithm>

CImageChange* CImageChange::Between(const RadioImage& before, RadioImage& image,
                                    const QString& name, std::function<void()> restored) {
    const std::uint8_t* old = before.data();
    const std::uint8_t* now = image.data();
    const std::size_t size = RadioImage::size();
    std::size_t first = 0;
    while (first < size && old[first] == now[first]) {
        ++first;
    }
    if (first == size) {
        return nullptr;
    }
    std::size_t end = size;
    while (old[end - 1] == now[end - 1]) {
        --end;
    }
    return new CImageChange(image, first, {old + first, old + end}, {now + first, now + end}, name,
                            std::move(restored));
}

CImageChange::CImageChange(RadioImage& image, std::size_t offset, std::vector<std::uint8_t> before,
                           std::vector<std::uint8_t> after, const QString& name,
                           std::function<void()> restored)
    : m_image(image),
      m_offset(offset),
      m_before(std::move(before)),
      m_after(std::move(after)),
      m_restored(std::move(restored)) {
    setText(name);
}

void CImageChange::undo() {
    Put(m_before);
}

void CImageChange::redo() {
    if (m_applied) {
        m_applied = false;
        return;
    }
    Put(m_after);
}

void CImageChange::Put(const std::vector<std::uint8_t>& bytes) {
    std::copy(bytes.begin(), bytes.end(), m_image.data() + m_offset);
    if (m_restored) {
        m_restored();
    }
}
