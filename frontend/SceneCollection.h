#pragma once

#include <QString>
#include <QStringList>
#include <vector>

#include <obs.hpp>

// The studio's scenes in the user's order, with the one shown as the program.
class SceneCollection {
public:
    SceneCollection() = default;
    ~SceneCollection();
    SceneCollection(const SceneCollection&) = delete;
    SceneCollection& operator=(const SceneCollection&) = delete;

    int size() const { return static_cast<int>(scenes_.size()); }
    obs_scene_t* at(int index) const;
    int indexOf(const QString& name) const;
    int indexOf(obs_scene_t* scene) const;
    QStringList names() const;

    // Null and -1 when there are no scenes.
    obs_scene_t* current() const { return at(current_); }
    int currentIndex() const { return current_; }
    // Shows the scene as the program.
    void setCurrent(int index);

    // Appends a new scene; the name must be free.
    obs_scene_t* add(const QString& name);
    // Removes the scene and its items; when it was current, the next scene (or the previous
    // one for the last) becomes current.
    void remove(int index);
    bool move(int from, int to);
    // Drops every scene and clears the program (at shutdown).
    void clear();

    // The collection as a document: scene order, current scene and every source used.
    OBSDataAutoRelease save() const;
    // Replaces the collection with the document's; false when it holds no scene list.
    bool load(obs_data_t* document);

private:
    void showCurrent();

    std::vector<OBSScene> scenes_;
    int current_ = -1;
};
