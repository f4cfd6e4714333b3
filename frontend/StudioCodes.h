#pragma once

#include <cstdint>

// The codes the studio library and the rooms exchange. Their values are the protocol and
// never change; code and tests use the names.
namespace orbLiveImp {

// First argument of ctrlScene and of the scene control callback.
enum SceneOp : uint8_t {
    kSceneAdd = 0,
    kSceneRemove = 1,
    kSceneRename = 2,
    kSceneMoved = 3,     // callback only
    kSceneCurrent = 4,
    kSceneStreaming = 5,  // callback only: the stream went on the air (true) or ended
    kSceneRecording = 6,  // callback only: a recording started (true) or finished
};

// The op of a SceneItemData in the item callback and the type of ctrlSceneItem.
enum ItemOp : uint8_t {
    kItemAdded = 1,       // callback only
    kItemRemove = 2,
    kItemVisible = 3,
    kItemLock = 4,
    kItemSelect = 5,
    kItemRename = 6,
    kItemOrder = 7,       // callback only
    kItemProperties = 8,  // callback only
    kItemAudioLevel = 9,  // callback only: the microphone's level 0..100
};

// ctrlVoice codes, which are also the console's event codes.
enum VoiceCode : uint8_t {
    kSpeakerOn = 0,
    kSpeakerMute = 1,
    kSpeakerVolume = 2,
    kMicrophoneOn = 3,
    kMicrophoneMute = 4,
    kMicrophoneVolume = 5,
    kStreamStart = 6,
    kStreamStop = 7,
    kRecordStart = 8,
    kRecordStop = 9,
};

}  // namespace orbLiveImp
