// The conversion between the image and the editor, whole image at a time.
//
// Neither direction validates or reports anything: the cell editor checks what the user
// types, and the codec codes whatever text and selection it finds.
#pragma once

#include "EditorModel.h"
#include "RadioImage.h"

// Image to editor: writes rows 1 to 16, columns 1 to 8, and selects an item in each of the
// eleven setting combos. Row 0 and column 0 are left alone.
void DecodeImage(const RadioImage& image, EditorModel& model);

// Editor to image: writes the channel records' frequency, tone, flag and step bytes and the
// function settings, band code and type digit. No other byte changes.
void EncodeImage(const EditorModel& model, RadioImage& image);

// What the form shows right after the image is opened: the image decoded into a fresh editor,
// with the header row and channel numbers written.
EditorModel DecodeForDisplay(const RadioImage& image);
