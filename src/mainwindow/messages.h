// The main window's fixed messages to the user.
#pragma once

namespace velmora::mainwindow {

inline constexpr wchar_t kScanFailedMessage[] = L"レジストリデータの取得に失敗しました。";
inline constexpr wchar_t kSelectFirstMessage[] = L"リストボックスで選択してから押して下さい。";
inline constexpr wchar_t kNoEntryMessage[] = L"エラー";
inline constexpr wchar_t kBadProgramMessage[] = L"指定されたプログラムは正しくありません。";
// A user's own entry, while the program runs with administrator rights: its
// uninstaller may only run with the user's ordinary rights.
inline constexpr wchar_t kNoUnelevatedStartMessage[] =
    L"この項目は現在のユーザーだけに登録されたものなので、アンインストーラーを管理者の権限なしで"
    L"起動しようとしましたが、起動できませんでした。";
inline constexpr wchar_t kDeleteQuestionBefore[] = L"[ ";
inline constexpr wchar_t kDeleteQuestionAfter[] =
    L" ]の登録をレジストリから削除しますがよろしいですか？";
inline constexpr wchar_t kNoRightsMessage[] =
    L"現在のユーザーアカウントに権限がないなどの原因で削除することは出来ません。";
inline constexpr wchar_t kOpenFailedMessage[] = L"レジストリキーのオープンに失敗しました";
inline constexpr wchar_t kDeleteFailedMessage[] = L"レジストリエントリの削除に失敗しました。";
// Drawn after the text of a line whose uninstaller is gone; not part of it.
inline constexpr wchar_t kMissingUninstallerNote[] = L"（アンインストーラが見つかりません）";
// Followed by the backup folder on a second line, when there is one.
inline constexpr wchar_t kBackupFailedMessage[] =
    L"削除前のバックアップを保存できなかったため、削除しませんでした。";

}  // namespace velmora::mainwindow
