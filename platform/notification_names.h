#pragma once
// The names of the notifications that cross from the share session to the windows.
inline constexpr const char* KLNotification_KorvalumeConnectionStatus =
    "KLNotification_KorvalumeConnectionStatus";
inline constexpr const char* KLNotification_ImageData = "KLNotification_ImageData";
inline constexpr const char* KLNotification_ShareThumbnailDownloaded =
    "KLNotification_ShareThumbnailDownloaded";
inline constexpr const char* KLNotification_LiveViewImage = "KLNotification_LiveViewImage";
inline constexpr const char* KLNotification_ClientCanSaveUpdated = "KLNotification_ClientCanSaveUpdated";
inline constexpr const char* KLNotification_IncomingOobMessage = "KLNotification_IncomingOobMessage";
inline constexpr const char* KLNotification_MessageHandled = "KLNotification_MessageHandled";
inline constexpr const char* KLNotification_Exit = "KLNotification_Exit";
inline constexpr const char* KLNotification_RatingUpdated = "KLNotification_RatingUpdated";
inline constexpr const char* KLNotification_MovieRecordingToggled = "KLNotification_MovieRecordingToggled";
inline constexpr const char* KLNotification_ShowNextImage = "KLNotification_ShowNextImage";
inline constexpr const char* KLNotification_ShowPreviousImage = "KLNotification_ShowPreviousImage";
inline constexpr const char* kUserDefaultsUpdatedNotification = "UserDefaultsUpdated";
inline constexpr const char* kConnectionFailureNotification = "ConnectionFailure";
