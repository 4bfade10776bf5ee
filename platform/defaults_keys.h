#pragma once
// The user-defaults keys the program reads and writes.
inline constexpr const char* kDefaultsSaveFolderPath = "SaveFolderPath";
inline constexpr const char* kDefaultsSandboxBookmark = "SandboxBookmark";
inline constexpr const char* kDefaultsCacheSizeGB = "CacheSizeGB";
inline constexpr const char* kDefaultsHostMode = "HostMode";
inline constexpr const char* kDefaultsShowWatermark = "ShowWatermark";
inline constexpr const char* kDefaultsWatermarkText = "WatermarkText";
inline constexpr const char* kDefaultsWatermarkLocation = "WatermarkLocation";
inline constexpr const char* kDefaultsWatermarkSize = "WatermarkSize";
inline constexpr const char* kDefaultsCanSaveImages = "CanSaveImages";
inline constexpr const char* kDefaultsLastSessionTime = "LastSessionTime";
inline constexpr const char* kDefaultsIpAddress = "ipAddress";
inline constexpr const char* kDefaultsRotateLiveView = "RotateLiveView";
inline constexpr const char* kDefaultsElectronicLevel = "ElectronicLevel";
inline constexpr const char* kDefaultsHighlights = "Highlights";
inline constexpr const char* kDefaultsShadows = "Shadows";
inline constexpr const char* kDefaultsFocusPeaking = "FocusPeaking";
inline constexpr const char* kDefaultsQuickRawMode = "QuickRawMode";
