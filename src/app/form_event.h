#pragma once
// The window events that reach a handler of Form1.

namespace snipwell {

enum class FormEvent {
    Initialize,
    Load,
    Unload,
    Command1Click,  // Play
    Command2Click,  // Stop
    Command3Click,  // Pause
    Command4Click,  // Open
    Command5Click,  // Select Start
    Command6Click,  // Select End
    Command7Click,  // Save
    Command8Click,  // Home Page
    Command9Click,  // Play Selected
    Label1Click,    // advert link
    HUserMove,      // the user moved the slider
    TTimer,         // position timer, every 1000 ms while enabled
    Timer1Timer,    // every 100 ms
};

}  // namespace snipwell
