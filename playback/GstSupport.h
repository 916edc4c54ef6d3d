// GStreamer set-up shared by the media engine: starting the library on first use, and the
// sinks, which the environment may replace (CORVELLA_AUDIO_SINK, CORVELLA_VIDEO_SINK hold bin
// descriptions) so playback runs on machines without sound or display.
#pragma once

#include <chrono>
#include <functional>
#include <optional>
#include <string>

typedef struct _GstElement GstElement;
typedef struct _GstTagList GstTagList;

namespace gstsupport {

// Starts GStreamer once; false (with the reason) when it cannot start.
bool EnsureInitialized(std::string& error);

// Starts GStreamer on a thread of its own and loads the elements every playback pipeline
// uses, and those that read a file named like firstClip (its type finder, demuxer, parser and
// decoder), so that work overlaps whatever the caller does next (making the windows). A later
// EnsureInitialized waits for the start that is under way. The thread is joined at exit.
void StartInBackground(const std::string& firstClip = {});

// How long the interface waits for a state change or a seek before it gives the pipeline up.
inline constexpr std::chrono::milliseconds kStepBound{3000};

// Runs the step on a GStreamer thread and waits for its result at most `bound`: a sink whose
// sound server does not answer, or whose file nobody reads, blocks a state change or a
// flushing seek for as long as it is stuck, and the interface thread must not wait with it.
// Empty when the step did not end in time; it still runs then, holding the element.
std::optional<int> RunWithin(GstElement* pElement, std::function<int(GstElement*)> step,
                             std::chrono::milliseconds bound = kStepBound);

// GStreamer's type finders recognise the start of the regular file at path (read without
// blocking, at most 64 KiB): a clip that fails this cannot be played.
bool TypeIsRecognised(const std::string& path);

// A sink bin built from the environment variable's description, or null when the variable is
// unset, empty or does not parse (the reason is logged). A sink in it that can pace itself
// does, unless the description says otherwise, so playback runs in real time.
GstElement* SinkFromEnvironment(const char* variable);

// The window's own video sink: decoded frames (in an 8-bit format the window converts itself)
// handed to an appsink, which is returned through ppAppSink.
GstElement* MakeFrameSink(GstElement** ppAppSink, std::string& error);

// The sound outputs the automatic sink tries, by name, best first ("pulsesink, alsasink").
std::string AudioSinkNames();
// The element was made by the factory of that name.
bool FactoryNameIs(GstElement* pElement, const char* name);
// The sound server learns who plays: every sound output in the pipeline, now or added later
// (an automatic sink picks its output only when it starts), names the stream "Corvella"
// with the program's icon and the music role, so the desktop's mixer shows it as such.
void NameAudioStreams(GstElement* pPipeline);
// The same for one element, when it is an output that takes stream properties.
void NameAudioStream(GstElement* pElement);

// A tag's text (GST_TAG_ARTIST, GST_TAG_TITLE, …) as one line of bounded length; empty when
// the list does not name it.
std::string TagText(const GstTagList* pTags, const char* tag);

// Matroska and WebM files name each track ("Audio", "Video"): only their container-wide
// (global) tags name the clip.
bool OnlyGlobalTagsName(const std::string& path);

} // namespace gstsupport
