#include "ui/mainwindow/win32/timer_page.h"

#include <chrono>

#include "framework/control_font.h"
#include "framework/win32_rect.h"
#include "link/core/hid_link.h"
#include "link/core/link_messages.h"
#include "link/core/local_time.h"
#include "link/win32/link_platform.h"
#include "resources/resource_ids.h"
#include "settings/win32/reg_keys.h"
#include "ui/mainwindow/core/page_layout.h"
#include "ui/skin/win32/picture_cache.h"

namespace pv::mainwindow {

using pv::settings::SettingId;

namespace {

std::optional<std::uint32_t> ReadIfStored(SettingId id) {
  const pv::settings::LoadedSetting setting = pv::settings::CRegKeys::Load(id);
  if (!setting.WasRead()) return std::nullopt;
  return setting.value;
}

}  // namespace

CTimerPage::CTimerPage(PageHost& host, int focusAfterEdit, pv::link::CHidLink& link)
    : m_host(host), m_focusAfterEdit(focusAfterEdit), m_link(link) {}

void CTimerPage::InitControls() {
  if (!m_timerEdit.SubclassDlgItem(IDC_TIMER_EDIT, m_host.Window().GetSafeHwnd())) return;
  // Client pixels: the template's dialog units would make the box outgrow
  // the page picture's frame on a scaled screen.
  const int height = kTimerEditRect.Height();
  m_timerEdit.MoveWindow(kTimerEditRect.left, kTimerEditRect.top, kTimerEditRect.Width(), height, TRUE);
  m_timerEdit.ShowWindow(SW_HIDE);

  // The digits fill the box: the box's font, one pixel less than its height.
  m_timerEditFont = CreateFontSizedFromControl(m_timerEdit.GetSafeHwnd(), height - 1);
  m_timerEdit.SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(m_timerEditFont.Get()), TRUE);
}

// The link's time base: local wall-clock seconds, by the same conversion.
std::int64_t CTimerPage::Now() {
  pv::link::win32::CWin32Clock clock;
  return pv::link::LocalTimeToSeconds(clock.Now());
}

bool CTimerPage::HandleMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
  switch (msg) {
    case WM_COMMAND:
      if (LOWORD(wp) != IDC_TIMER_EDIT || HIWORD(wp) != EN_CHANGE ||
          reinterpret_cast<HWND>(lp) != m_timerEdit.GetSafeHwnd())
        return false;
      OnTimerEditChange();
      result = 0;
      return true;
    case pv::link::UM_LINK_TIMER_DUE:
      OnTimerDue();
      result = 1;
      return true;
    case UM_TIMER_EDIT_DONE:
      result = OnTimerEditDone();
      return true;
    case WM_TIMER:
      if (wp != kHandOverRetryTimer) return false;
      OnRetryTimer();
      result = 0;
      return true;
    default:
      return false;
  }
}

bool CTimerPage::PreTranslateMessage(const MSG& msg) {
  if (msg.message != WM_KEYDOWN || msg.wParam != VK_RETURN || msg.hwnd != m_timerEdit.GetSafeHwnd())
    return false;
  OnTimerEditDone();
  return true;
}

void CTimerPage::LoadTimerPage() {
  m_bTimerPageReady = true;

  const StoredTimer stored{.on = ReadIfStored(SettingId::kTimerOn),
                           .seconds = ReadIfStored(SettingId::kTimerTime),
                           .startLow = ReadIfStored(SettingId::kTimerStartL),
                           .startHigh = ReadIfStored(SettingId::kTimerStartH)};
  const TimerResume resume = DecideResume(stored, Now());
  m_bTimerOn = resume.running;
  m_timerDuration = resume.seconds;
  // A running timer keeps its first start, so the countdown goes on where it was.
  if (resume.running) SaveAndStartTimer(true, resume.start, resume.seconds);

  ShowBox(m_bTimerOn);
  m_timerEdit.SetWindowText(MinutesTextFor(m_timerDuration).c_str());
  if (!m_bTimerOn) {
    // Stored as off with a start of now. The link's timer is stopped only
    // if it runs: an alert still pending (the time ran out while the remote
    // was out of reach, and this load follows its return) must reach the
    // remote; only the remote's acknowledgement or the user withdraws it.
    SaveAndStartTimer(false, 0, m_timerDuration,
                      LinkTimerRunning().value_or(true) ? LinkChange::kHandOver : LinkChange::kNone);
  } else {
    m_timerEdit.SetTextColor(pv::skin::CTimerEdit::kYellow);
    InvalidateBox();
  }

  RECT picture{};
  m_host.Pictures().GetRect(IDP_SWITCH_ON, &picture);
  m_timerSwitchRect = ToRect(pv::RectAt(kTimerSwitchAt, picture.right, picture.bottom));
  InvalidateSwitch();
}

void CTimerPage::OnSwitchClick() {
  if (!m_bTimerPageReady) return;
  m_bTimerOn = !m_bTimerOn;
  ShowBox(m_bTimerOn);
  ApplyTimerMinutes(true);
  InvalidateSwitch();
}

void CTimerPage::ApplyTimerMinutes(bool force) {
  const std::uint32_t seconds = SecondsFromMinutesText(m_timerEdit.GetWindowText());
  if (!force && seconds == m_timerDuration) return;
  m_timerDuration = seconds;
  SaveAndStartTimer(m_bTimerOn, 0, seconds);
}

void CTimerPage::SaveAndStartTimer(bool on, std::int64_t start, std::uint32_t seconds, LinkChange change) {
  m_timerEdit.SetTextColor(pv::skin::CTimerEdit::kYellow);
  // "Now" is fixed here, at the user's action: a hand-over that has to wait
  // for the link still counts from this moment.
  if (start == 0) start = Now();
  pv::settings::CRegKeys::Save(SettingId::kTimerOn, on ? 1 : 0);
  pv::settings::CRegKeys::Save(SettingId::kTimerTime, seconds);
  pv::settings::CRegKeys::Save(SettingId::kTimerStartL, StartLow(start));
  pv::settings::CRegKeys::Save(SettingId::kTimerStartH, StartHigh(start));
  if (change == LinkChange::kNone) return;
  if (!m_handOver.Submit({.on = on, .start = start, .seconds = seconds}) && !m_retryTimerRunning) {
    m_retryTimerRunning = m_host.Window().SetTimer(kHandOverRetryTimer, kHandOverRetryMs) != 0;
  }
}

void CTimerPage::OnRetryTimer() {
  if (!m_handOver.Retry()) return;
  m_host.Window().KillTimer(kHandOverRetryTimer);
  m_retryTimerRunning = false;
}

bool CTimerPage::TryStart(const TimerRequest& request) {
  return m_link.TryStartTimer(request.on, request.start, request.seconds,
                              std::chrono::milliseconds(kLinkLockWaitMs));
}

std::optional<bool> CTimerPage::LinkTimerRunning() {
  return m_link.TimerRunning(std::chrono::milliseconds(kLinkLockWaitMs));
}

void CTimerPage::OnTimerEditChange() {
  DWORD start = 0, end = 0;
  m_timerEdit.SendMessage(EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  const MinutesBox box{m_timerEdit.GetWindowText(), static_cast<int>(start), static_cast<int>(end)};
  if (const auto corrected = NormaliseMinutesBox(box)) {
    // Raises this handler again, which finds nothing more to correct.
    m_timerEdit.SetWindowText(corrected->text.c_str());
    m_timerEdit.SetSel(corrected->selStart, corrected->selEnd);
    m_timerEdit.SendMessage(EM_SCROLLCARET);
  }
  m_timerEdit.SetTextColor(pv::skin::CTimerEdit::kWhite);
  InvalidateBox();
}

LRESULT CTimerPage::OnTimerEditDone() {
  if (!m_bTimerPageReady) return 1;
  ApplyTimerMinutes(false);
  m_timerEdit.SetTextColor(pv::skin::CTimerEdit::kYellow);
  InvalidateBox();
  if (HWND target = m_host.Window().GetDlgItem(m_focusAfterEdit)) ::SetFocus(target);
  return 1;
}

void CTimerPage::OnTimerDue() {
  if (!m_bTimerPageReady) return;
  // The notice is posted before the link clears its timer, and any process
  // can post it: a timer that still runs once the link's expiry check is
  // over (the user has started a new one, or the notice is not the link's)
  // is not switched off.
  if (LinkTimerRunning().value_or(false)) return;
  m_bTimerOn = false;
  ApplyTimerMinutes(false);
  ShowBox(false);
  InvalidateSwitch();
}

void CTimerPage::PaintSwitch(HDC dc) {
  if (!m_bTimerPageReady) return;
  m_host.Pictures().Draw(dc, m_bTimerOn ? IDP_SWITCH_ON : IDP_SWITCH_OFF, m_timerSwitchRect.left,
                         m_timerSwitchRect.top);
}

void CTimerPage::ShowControls(bool settingsPage) {
  if (m_timerEdit.GetSafeHwnd() == nullptr) return;
  m_timerEdit.ShowWindow(settingsPage && m_bTimerPageReady && m_bTimerOn ? SW_SHOW : SW_HIDE);
}

void CTimerPage::ShowBox(bool show) {
  // On another page (the switch reacts there too) the layout shows the box
  // once the settings page is back.
  if (m_timerEdit.GetSafeHwnd() == nullptr) return;
  m_timerEdit.ShowWindow(show && m_host.Mode() == MODE_READY ? SW_SHOW : SW_HIDE);
}

void CTimerPage::InvalidateBox() {
  if (m_timerEdit.GetSafeHwnd() != nullptr) m_timerEdit.InvalidateRect(nullptr, TRUE);
}

void CTimerPage::InvalidateSwitch() {
  m_host.Window().InvalidateRect(&m_timerSwitchRect, FALSE);
}

}  // namespace pv::mainwindow
