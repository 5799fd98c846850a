#pragma once

#include <string>

class CBrowserCapture;

// Takes the page a running browser shows for the commands and dialogs that register it: with the wait
// cursor up, and on failure the message that says why (nothing when the user ended the wait).
class CPageCapture final {
public:
    static constexpr const char* kNoBrowser = "ブラウザが起動していません。あるいは未対応ブラウザです。";
    static constexpr const char* kNotYetSaved =
        "ブラウザがまだこのページを保存していません。少し待ってから、もう一度取り込んでください。\n"
        "(ブラウザ拡張機能を入れると、待たずに取り込めます。[ツール] メニューの [ブラウザ拡張機能の設定] を"
        "ご覧ください。)";
    static constexpr const char* kPrivateWindow = "プライベート ウィンドウのページは取り込めません。";
    static constexpr const char* kBrowserPage =
        "ブラウザに表示中のページは、ブラウザ自身のページのため取り込めません。";

    enum class Report { Failure, Nothing };

    // The page's address and title; false when there is none to take. With Report::Failure the user is
    // told why.
    static bool take(CBrowserCapture* capture, std::string& url, std::string& title, Report report);
};
