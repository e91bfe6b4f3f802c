// Window-level services the forms' logic needs from the windowing layer.
#pragma once

namespace velmora::platform {

// The running program.
class Application {
  public:
    virtual ~Application() = default;
    // Ends the program at once: every window closes and the process exits.
    virtual void End() = 0;
};

// A form that can be shown modally.
class ModalForm {
  public:
    virtual ~ModalForm() = default;
    // Loads the form, shows it modally and returns once it has been unloaded.
    virtual void ShowModal() = 0;
};

// What a form can do to itself.
class Unloadable {
  public:
    virtual ~Unloadable() = default;
    // Destroys the form's window and ends its modal display.
    virtual void Unload() = 0;
};

}  // namespace velmora::platform
