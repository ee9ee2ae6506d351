#pragma once
// The pictures of the mark column, numbered as the rule files and message marks store them: shared
// by message rows and rule rows. Fixed program data.

namespace mv {

inline constexpr int kPictureDelete = 0;
inline constexpr int kPictureQuestion = 1;
inline constexpr int kPictureKnownSpammer = 2;
inline constexpr int kPictureFirstException = 3; // also the default exception picture
inline constexpr int kPictureLastException = 14;

} // namespace mv
