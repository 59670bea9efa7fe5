// Texts of the online update that are not in the string table. The update
// dialog's texts are English in both languages, as its template is; the
// failure texts this program adds exist in both.
#pragma once

#include <string_view>

namespace pv::update {

inline constexpr std::wstring_view kCannotConnectText = L"can not connect to server";

inline constexpr std::wstring_view kDownloadingUpdaterText = L"Downloading the update program.";
inline constexpr std::wstring_view kDownloadBytesText = L"Download bytes: ";
inline constexpr std::wstring_view kDownloadingMainText = L"Downloading the main program.";
inline constexpr std::wstring_view kDownloadSuccessText = L"Download success.\r\nPlease wait to reboot it...";
inline constexpr std::wstring_view kUpdaterDownloadFailedText = L"Download the update progrm failed.";
inline constexpr std::wstring_view kMainDownloadFailedText = L"Download the main progrm failed.";

// Button texts of the question box: Yes, No, Cancel.
struct QuestionButtons {
  std::wstring_view yes, no, cancel;
};
inline constexpr QuestionButtons kQuestionButtonsEn{L"&Update", L"&Esc", L"&Download by IE"};
inline constexpr QuestionButtons kQuestionButtonsZh{L"&升级", L"&取消", L"&浏览器下载"};

constexpr QuestionButtons QuestionButtonTexts(bool chineseUi) {
  return chineseUi ? kQuestionButtonsZh : kQuestionButtonsEn;
}

// The check did not come to an answer (server unreachable or refusing, an
// "update.ini" without a usable version, no download folder).
constexpr std::wstring_view CheckFailedText(bool chineseUi) {
  return chineseUi ? std::wstring_view(L"检查更新失败，请稍后再试。")
                   : std::wstring_view(L"The update check failed. Please try again later.");
}

// Both files arrived but the updater would not start: the program stays.
constexpr std::wstring_view UpdaterNotStartedText(bool chineseUi) {
  return chineseUi
             ? std::wstring_view(L"无法启动升级程序，当前程序继续运行。")
             : std::wstring_view(L"The update program could not be started. This program keeps running.");
}

}  // namespace pv::update
