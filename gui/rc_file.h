#pragma once
// RC layout files: the children of one panel, read by OBJET::load and
// written back by OBJET::save (both defined in rc_file.cpp).
//
// The reader takes whitespace-separated tokens and ignores line breaks. A
// record is a keyword and its fields; any other word where a keyword is
// expected is skipped. Text fields keep 79 characters (longer tokens are
// cut). Missing fields keep the values of the previous record, except a
// SPRITE's alpha (255) and a LABEL's three numbers (0).
//
//   SPRITE item image mask x y colorKeyOn colorKey blend zoom angle [alpha]
//   BUTTON item imageOn imageTouch imageOff x y colorKeyOn colorKey blend zoom angle
//   SLIDER item image x y colorKeyOn colorKey blend zoom angle
//   LABEL  item text x y labelNumber fontSize color
//
// A mask or touch image whose first character is '0' means none. Numbers are
// held to sane ranges as they are read (positions within a million pixels,
// other whole numbers within 24 bits, alpha 0..255, a finite zoom within
// 100), and a zero byte separates tokens like a blank. The writer
// puts one record per line, fields separated by one tab, lines ended by
// "\r\n", in file order (the list holds the records in reverse); an empty
// text field is written "0" so that no field is lost. A save
// writes a temporary file beside the target and renames it over the old one,
// so that a failed save never leaves half a layout.

#include "gui/widgets.h"

// Children read from a file are named "<panel name>_<item name>".
constexpr const char* kChildNameFormat = "%s_%s";
