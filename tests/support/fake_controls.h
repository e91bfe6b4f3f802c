// Stand-ins for the window's controls and services, recording what the logic
// does to them.
#pragma once

#include <algorithm>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <ostream>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "platform/application.h"
#include "platform/change_signal.h"
#include "platform/controls.h"
#include "platform/geometry.h"
#include "platform/process_starter.h"
#include "platform/uninstaller_checks.h"

namespace velmora::testing {

// The calls the list, the text box and the message boxes received, in order,
// when a test hands them one journal.
using CallJournal = std::vector<std::wstring>;

inline void Note(CallJournal* journal, const std::wstring& call) {
    if (journal) journal->push_back(call);
}

// A sorted single-selection list: lines are kept in order as a sorted list
// box keeps them, each with the slot it was added with.
class FakeListBox : public platform::ListBox {
  public:
    struct Line {
        std::wstring text;
        std::int16_t slot;
    };

    void Clear() override {
        Note(journal, L"Clear");
        ++clears;
        lines.clear();
        notes.clear();
        selected = -1;
    }
    void AddLine(const std::wstring& text, std::int16_t slot) override {
        Note(journal, L"AddLine " + text + L" " + std::to_wstring(slot));
        if (failAdds) throw std::runtime_error("list add failed");
        const auto at =
            std::upper_bound(lines.begin(), lines.end(), text,
                             [](const std::wstring& t, const Line& l) { return t < l.text; });
        lines.insert(at, Line{text, slot});
    }
    int SelectedIndex() const override {
        if (failQueries) throw std::runtime_error("list query failed");
        return selected;
    }
    void SetSelectedIndex(int index) override { selected = index; }
    std::wstring LineText(int index) const override { return lines.at(Checked(index)).text; }
    std::int16_t LineSlot(int index) const override { return lines.at(Checked(index)).slot; }
    void NoteLine(std::int16_t slot, const std::wstring& note) override {
        Note(journal, L"NoteLine " + std::to_wstring(slot) + L" " + note);
        note.empty() ? static_cast<void>(notes.erase(slot)) : static_cast<void>(notes[slot] = note);
    }
    void BeginUpdate() override {
        Note(journal, L"BeginUpdate");
        ++updateDepth;
    }
    void EndUpdate() override {
        Note(journal, L"EndUpdate");
        --updateDepth;
    }

    std::vector<std::wstring> Texts() const {
        std::vector<std::wstring> texts;
        for (const auto& line : lines) texts.push_back(line.text);
        return texts;
    }
    // Selects the first line with this text; -1 when there is none.
    int Select(const std::wstring& text, int occurrence = 0) {
        selected = -1;
        for (int i = 0; i < static_cast<int>(lines.size()); ++i) {
            if (lines[i].text == text && occurrence-- == 0) return selected = i;
        }
        return -1;
    }

    std::vector<Line> lines;
    std::map<std::int16_t, std::wstring> notes;  // by slot
    int selected = -1;
    int updateDepth = 0;
    int clears = 0;
    bool failQueries = false;
    bool failAdds = false;
    CallJournal* journal = nullptr;

  private:
    static std::size_t Checked(int index) {
        if (index < 0) throw std::out_of_range("negative line index");
        return static_cast<std::size_t>(index);
    }
};

class FakeTextBox : public platform::TextBox {
  public:
    void SetText(const std::wstring& value) override {
        Note(journal, L"SetText " + value);
        text = value;
        ++writes;
    }
    std::wstring text = L"untouched";
    int writes = 0;
    CallJournal* journal = nullptr;
};

// Records every message; answers questions from a queue (Yes by default) and
// can run an action while a box is open, as a nested repaint would.
class FakeMessageBoxes : public platform::MessageBoxes {
  public:
    struct Shown {
        std::wstring text;
        std::uint32_t style = platform::kMbOk;
        bool operator==(const Shown&) const = default;
        // Readable in a failed expectation: the text as UTF-8, then the style.
        friend void PrintTo(const Shown& box, std::ostream* os) {
            *os << "{\"";
            for (const wchar_t c : box.text) {
                const auto u = static_cast<std::uint32_t>(c);
                if (u < 0x80) {
                    *os << static_cast<char>(u);
                } else if (u < 0x800) {
                    *os << static_cast<char>(0xC0 | u >> 6) << static_cast<char>(0x80 | (u & 0x3F));
                } else {
                    *os << static_cast<char>(0xE0 | u >> 12)
                        << static_cast<char>(0x80 | (u >> 6 & 0x3F))
                        << static_cast<char>(0x80 | (u & 0x3F));
                }
            }
            *os << "\", style " << box.style << "}";
        }
    };
    int Show(const std::wstring& text, std::uint32_t style) override {
        Note(journal, L"Show " + text);
        shown.push_back({text, style});
        if (whileOpen) std::exchange(whileOpen, nullptr)();
        if (style == platform::kMbOk) return platform::kIdOk;
        if (answers.empty()) return platform::kIdYes;
        const int answer = answers.front();
        answers.pop_front();
        return answer;
    }
    std::vector<std::wstring> Texts() const {
        std::vector<std::wstring> texts;
        for (const auto& s : shown) texts.push_back(s.text);
        return texts;
    }
    std::vector<Shown> shown;
    std::deque<int> answers;
    std::function<void()> whileOpen;
    CallJournal* journal = nullptr;
};

class FakeProcessStarter : public platform::ProcessStarter {
  public:
    platform::StartResult Start(const std::wstring& commandLine, platform::WindowHandle owner,
                                platform::EntryScope scope) override {
        started.push_back(commandLine);
        owners.push_back(owner);
        scopes.push_back(scope);
        if (whileStarting) whileStarting();
        return result;
    }
    std::vector<std::wstring> started;
    std::vector<platform::WindowHandle> owners;
    std::vector<platform::EntryScope> scopes;
    platform::StartResult result = platform::StartResult::kStarted;
    // Runs inside Start, as the messages of a prompt's own loop would.
    std::function<void()> whileStarting;
};

// A monitor whose rectangle is given in twips at the dpi the system started
// with; asked at another dpi, it scales as its pixels would.  The primary
// monitor's corner is the origin; another's may be negative.
class FakeScreen : public platform::Screen {
  public:
    FakeScreen(float width, float height, unsigned systemDpi = 96, float left = 0, float top = 0)
        : left_(left), top_(top), width_(width), height_(height), systemDpi_(systemDpi) {}
    float LeftTwips(unsigned dpi) const override { return left_ * systemDpi_ / dpi; }
    float TopTwips(unsigned dpi) const override { return top_ * systemDpi_ / dpi; }
    float WidthTwips(unsigned dpi) const override { return width_ * systemDpi_ / dpi; }
    float HeightTwips(unsigned dpi) const override { return height_ * systemDpi_ / dpi; }

  private:
    float left_;
    float top_;
    float width_;
    float height_;
    unsigned systemDpi_;
};

class FakeFormWindow : public platform::FormWindow {
  public:
    FakeFormWindow(float width, float height, unsigned dpi = 96)
        : width(width), height(height), dpi(dpi) {}
    float WidthTwips() const override { return width; }
    float HeightTwips() const override { return height; }
    unsigned Dpi() const override { return dpi; }
    platform::WindowHandle NativeHandle() const override { return handle; }
    void MoveTwips(float newLeft, float newTop) override {
        left = newLeft;
        top = newTop;
        ++moves;
    }
    float width;
    float height;
    unsigned dpi;
    platform::WindowHandle handle = 0x30A4;
    float left = -1;
    float top = -1;
    int moves = 0;
};

class FakeModalForm : public platform::ModalForm {
  public:
    void ShowModal() override { ++openings; }
    int openings = 0;
};

// The window's change signal: each Listen hands out a new event number, and
// the window hears of the latest one once it has been set (FormFixture's
// DeliverChange plays the window's part).
class FakeChangeSignal : public platform::ChangeSignal {
  public:
    platform::EventHandle Listen() override {
        listening = true;
        return ++event;
    }
    void Stop() override { listening = false; }
    platform::EventHandle event = 0;
    bool listening = false;
};

// Keeps each check asked for; the test plays the worker and the window.
class FakeUninstallerChecks : public platform::UninstallerChecks {
  public:
    void Check(std::uint32_t generation,
               std::vector<platform::UninstallerToCheck> entries) override {
        requests.push_back({generation, std::move(entries)});
    }
    struct Request {
        std::uint32_t generation;
        std::vector<platform::UninstallerToCheck> entries;
    };
    std::vector<Request> requests;
};

class FakeApplication : public platform::Application {
  public:
    void End() override { ++ends; }
    int ends = 0;
};

}  // namespace velmora::testing
