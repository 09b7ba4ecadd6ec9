#pragma once

#include <gtest/gtest.h>

#include <deque>
#include <string>
#include <vector>

#include "encoding/engine_display.h"
#include "encoding/engine_host.h"
#include "encoding/engine_prompts.h"

namespace tolvane::encoding {

// A display that keeps what it was last told to show.
struct RecordingDisplay final : EngineDisplay {
  bool running = false;  // ShowRunning since the last ShowIdle
  int idle_count = 0;
  bool finished = false;
  bool stopping = false;
  int stop_declined = 0;
  ProgressFigures progress;
  std::string elapsed = "00:00:00";
  bool elapsed_visible = true;
  std::string count = "000";
  std::string required = "0mb";
  std::string output_folder;
  int refreshes = 0;

  void ShowIdle() override {
    running = false;
    ++idle_count;
    progress = {};
  }
  void ShowRunning() override { running = true; }
  void ShowFinished(bool value) override { finished = value; }
  void ShowStopping(bool value) override { stopping = value; }
  void ShowStopDeclined() override { ++stop_declined; }
  void ShowProgress(const ProgressFigures& figures) override {
    progress = figures;
    elapsed = figures.elapsed;
  }
  void ShowElapsed(const std::string& text) override { elapsed = text; }
  void ShowElapsedVisible(bool visible) override { elapsed_visible = visible; }
  void ShowTotals(const std::string& rows, const std::string& space) override {
    count = rows;
    required = space;
  }
  void ShowOutputFolder(const std::string& folder) override { output_folder = folder; }
  void RefreshSelection() override { ++refreshes; }
};

// Questions answered from a script, strictly: a question nobody scripted fails the test (and is
// answered Yes), and so does an answer left unused. Every question and report is recorded as a
// line: "overwrite a.wav", "space source a.wav", "stop", "close", "report EncoderHalted a.wav".
struct ScriptedPrompts final : EnginePrompts {
  std::deque<bool> answers;
  std::vector<std::string> asked;

  ScriptedPrompts() = default;
  ScriptedPrompts(const ScriptedPrompts&) = delete;
  ScriptedPrompts& operator=(const ScriptedPrompts&) = delete;
  ~ScriptedPrompts() override {
    if (!answers.empty())
      ADD_FAILURE() << answers.size() << " scripted answer(s) left unused";
  }

  bool Answer(std::string line) {
    asked.push_back(line);
    if (answers.empty()) {
      ADD_FAILURE() << "a question nobody scripted: " << line;
      return true;
    }
    const bool answer = answers.front();
    answers.pop_front();
    return answer;
  }
  bool OverwriteExisting(const std::string& name) override { return Answer("overwrite " + name); }
  bool SkipShortOfSpace(const std::string& name, SpaceCheck where) override {
    return Answer(std::string(where == SpaceCheck::Source ? "space source " : "space target ") +
                  name);
  }
  bool ConfirmStop() override { return Answer("stop"); }
  bool ConfirmClose() override { return Answer("close"); }
  void Report(EngineFailure failure, const std::string& name) override {
    static constexpr const char* kNames[] = {
        "EncoderNotFound",  "InputNotFound",      "OutputFolderNotCreated",
        "OutputNotCreated", "CommandLineTooLong", "CannotStart",
        "EncoderHalted",    "SourceIsOwnOutput",  "NothingToDo"};
    asked.push_back(std::string("report ") + kNames[static_cast<int>(failure)] +
                    (name.empty() ? "" : " " + name));
  }
};

// Options the test sets; counts what the end of a batch asked for.
struct TestHost final : EngineHost {
  EngineOptions options;
  std::string encoder;
  int saves = 0;
  int closes = 0;
  int unattended_closes = 0;
  std::vector<std::string> logged;

  EngineOptions Options() override { return options; }
  std::string EncoderFile() override { return encoder; }
  void SaveSettings() override { ++saves; }
  void Log(const std::string& line) override { logged.push_back(line); }
  void CloseProgram(bool unattended) override { ++(unattended ? unattended_closes : closes); }
};

}  // namespace tolvane::encoding
