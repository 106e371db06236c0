// Opens the MP3 given on the command line through MCI as the player does (flags 0x302,
// device type "WaveAudio") and checks that its length is about 2 s.
#include <windows.h>
#include <mmsystem.h>

#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 2) return 2;
    if (GetFileAttributesA(argv[1]) == INVALID_FILE_ATTRIBUTES) {
        std::puts("no MP3: capture skipped");
        return 77;
    }
    MCI_OPEN_PARMSA open{};
    open.lpstrDeviceType = "WaveAudio";
    open.lpstrElementName = argv[1];
    MCIERROR e = mciSendCommandA(0, MCI_OPEN, MCI_OPEN_ELEMENT | MCI_OPEN_SHAREABLE | MCI_WAIT,
                                 reinterpret_cast<DWORD_PTR>(&open));
    if (e != 0) {
        char text[256] = "";
        mciGetErrorStringA(e, text, sizeof text);
        std::printf("open failed: %lu - %s\n", static_cast<unsigned long>(e), text);
        return 1;
    }
    MCI_SET_PARMS set{};
    set.dwTimeFormat = MCI_FORMAT_MILLISECONDS;
    mciSendCommandA(open.wDeviceID, MCI_SET, MCI_SET_TIME_FORMAT | MCI_WAIT, reinterpret_cast<DWORD_PTR>(&set));
    MCI_STATUS_PARMS status{};
    status.dwItem = MCI_STATUS_LENGTH;
    e = mciSendCommandA(open.wDeviceID, MCI_STATUS, MCI_STATUS_ITEM | MCI_WAIT, reinterpret_cast<DWORD_PTR>(&status));
    mciSendCommandA(open.wDeviceID, MCI_CLOSE, MCI_WAIT, 0);
    const unsigned long ms = static_cast<unsigned long>(status.dwReturn);
    std::printf("length %lu ms\n", ms);
    return (e == 0 && ms >= 1800 && ms <= 2400) ? 0 : 1;
}
