// The effects benchmark's floor (not part of the product): the least a
// Win32 program can do between a byte on a loopback socket and a
// full-screen overlay on the screen. A full-screen layered window (alpha and
// a round hole, as the spotlight has) is created hidden up front; a reader
// thread turns each byte into a posted message, as the program's link
// worker does, and the window thread shows ('S') or hides ('H') it.
//
//   latency_floor.exe <port> <opacity 0..255> <hole diameter>
//
// It connects to the benchmark on 127.0.0.1:<port>, sends 'R' when the
// window is ready, and ends when the benchmark closes the connection.
#include <windows.h>
#include <winsock2.h>

#include <cstdlib>
#include <cwchar>
#include <thread>

namespace {

constexpr UINT kByteArrived = WM_APP + 1;

// The connection to the benchmark, closed with the object.
class Connection {
 public:
  explicit Connection(unsigned short port) {
    WSADATA data;
    m_started = ::WSAStartup(MAKEWORD(2, 2), &data) == 0;
    if (!m_started) return;
    m_socket = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (m_socket == INVALID_SOCKET) return;
    BOOL noDelay = TRUE;
    ::setsockopt(m_socket, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&noDelay), sizeof noDelay);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = ::htons(port);
    address.sin_addr.s_addr = ::htonl(INADDR_LOOPBACK);
    if (::connect(m_socket, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
      ::closesocket(m_socket);
      m_socket = INVALID_SOCKET;
    }
  }
  ~Connection() {
    if (m_socket != INVALID_SOCKET) ::closesocket(m_socket);
    if (m_started) ::WSACleanup();
  }
  Connection(const Connection&) = delete;
  Connection& operator=(const Connection&) = delete;

  bool Open() const { return m_socket != INVALID_SOCKET; }
  bool Send(char byte) const { return ::send(m_socket, &byte, 1, 0) == 1; }
  // One byte, or -1 when the benchmark closed the connection.
  int Receive() const {
    char byte = 0;
    return ::recv(m_socket, &byte, 1, 0) == 1 ? static_cast<unsigned char>(byte) : -1;
  }

 private:
  bool m_started = false;
  SOCKET m_socket = INVALID_SOCKET;
};

LRESULT CALLBACK FloorProc(HWND window, UINT message, WPARAM wp, LPARAM lp) {
  switch (message) {
    case kByteArrived:
      if (wp == 'S') {
        ::ShowWindow(window, SW_SHOWNOACTIVATE);
        ::SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
      } else if (wp == 'H') {
        ::ShowWindow(window, SW_HIDE);
      }
      return 0;
    case WM_PAINT: {
      PAINTSTRUCT paint;
      const HDC dc = ::BeginPaint(window, &paint);
      ::FillRect(dc, &paint.rcPaint, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
      ::EndPaint(window, &paint);
      return 0;
    }
    case WM_DESTROY:
      ::PostQuitMessage(0);
      return 0;
    default:
      return ::DefWindowProcW(window, message, wp, lp);
  }
}

HWND CreateFloorWindow(HINSTANCE instance, BYTE opacity, int hole) {
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = FloorProc;
  windowClass.hInstance = instance;
  windowClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
  windowClass.lpszClassName = L"PvLatencyFloor";
  if (::RegisterClassW(&windowClass) == 0) return nullptr;
  const int width = ::GetSystemMetrics(SM_CXSCREEN), height = ::GetSystemMetrics(SM_CYSCREEN);
  const HWND window = ::CreateWindowExW(WS_EX_LAYERED | WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_NOACTIVATE,
                                        windowClass.lpszClassName, L"latency floor", WS_POPUP, 0, 0, width,
                                        height, nullptr, nullptr, instance, nullptr);
  if (window == nullptr) return nullptr;
  ::SetLayeredWindowAttributes(window, 0, opacity, LWA_ALPHA);
  const HRGN region = ::CreateRectRgn(0, 0, width, height);
  const HRGN round = ::CreateEllipticRgn(width / 2 - hole / 2, height / 2 - hole / 2, width / 2 + hole / 2,
                                         height / 2 + hole / 2);
  ::CombineRgn(region, region, round, RGN_DIFF);
  ::DeleteObject(round);
  if (::SetWindowRgn(window, region, FALSE) == 0) ::DeleteObject(region);  // the window owns it otherwise
  return window;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 4) {
    std::fwprintf(stderr, L"usage: latency_floor.exe <port> <opacity> <hole diameter>\n");
    return 2;
  }
  const Connection connection(static_cast<unsigned short>(std::wcstoul(argv[1], nullptr, 10)));
  if (!connection.Open()) return 3;
  const HWND window =
      CreateFloorWindow(::GetModuleHandleW(nullptr), static_cast<BYTE>(std::wcstoul(argv[2], nullptr, 10)),
                        static_cast<int>(std::wcstoul(argv[3], nullptr, 10)));
  if (window == nullptr || !connection.Send('R')) return 4;
  std::thread reader([&connection, window] {
    for (int byte = connection.Receive(); byte >= 0; byte = connection.Receive()) {
      ::PostMessageW(window, kByteArrived, static_cast<WPARAM>(byte), 0);
    }
    ::PostMessageW(window, WM_CLOSE, 0, 0);
  });
  MSG message;
  while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
    ::TranslateMessage(&message);
    ::DispatchMessageW(&message);
  }
  reader.join();
  return 0;
}
