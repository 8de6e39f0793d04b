// What the agreement test and its peer process say to each other. The peer
// is started with the test window's handle (hexadecimal) as its argument.
#pragma once

namespace talvio::test::peer {

inline constexpr const wchar_t* kExecutable = L"platform_win32_peer.exe";
inline constexpr const wchar_t* kWindowClass = L"TalvioAgreementPeer";
// Peer to test, once its window exists: wParam = peer window, lParam = peer process id.
inline constexpr const wchar_t* kReady = L"TalvioAgreementPeerReady";
// Broadcast by the test: wParam = window to answer. The peer posts kPong
// there with wParam = its process id.
inline constexpr const wchar_t* kPing = L"TalvioAgreementPeerPing";
inline constexpr const wchar_t* kPong = L"TalvioAgreementPeerPong";
// WM_COPYDATA to the peer (wParam = window to answer) comes back as
// WM_COPYDATA with dwData + 1 and the payload reversed; the peer's result is
// the payload size. WM_CLOSE ends the peer with exit code 0.

}  // namespace talvio::test::peer
