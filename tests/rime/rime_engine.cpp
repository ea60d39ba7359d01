#include "tests/rime/rime_engine.h"

#include <cstdlib>
#include <fstream>
#include <stdexcept>

namespace kana::rimetest {

TemporaryFolder::TemporaryFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "kanaroute-rime-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr)
        throw std::runtime_error("cannot create a temporary folder from " + pattern);
    path_ = pattern;
}

TemporaryFolder::~TemporaryFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

RimeEngine::RimeEngine(const Files& userFiles) : userDir_(folder_.path().string()), api_(rime_get_api()) {
    for (const auto& [name, content] : userFiles) {
        const std::filesystem::path path = folder_.path() / name;
        if (std::filesystem::exists(path))
            throw std::runtime_error(name + " is already in the Rime user folder and would be overwritten");
        std::ofstream file(path, std::ios::binary);
        file << content;
        if (!file)
            throw std::runtime_error("cannot write " + name + " into the Rime user folder");
    }
    RIME_STRUCT(RimeTraits, traits);
    traits.shared_data_dir = "/usr/share/rime-data";
    traits.user_data_dir = userDir_.c_str();
    traits.app_name = "rime.kanaroute-test";
    traits.min_log_level = 3; // fatal only: the engine's own log would go to the console
    // Setting up starts the engine's logging, which may be done once per process; initializing
    // again after finalize takes the new user folder.
    static bool setUp = false;
    if (!setUp) {
        api_->setup(&traits);
        setUp = true;
    }
    api_->initialize(&traits);
    if (api_->start_maintenance(True))
        api_->join_maintenance_thread();
}

RimeEngine::~RimeEngine() {
    for (const auto& [schema, id] : sessions_)
        api_->destroy_session(id);
    api_->finalize();
}

RimeSessionId RimeEngine::session(const std::string& schema) {
    auto found = sessions_.find(schema);
    if (found != sessions_.end())
        return found->second;
    RimeSessionId id = api_->create_session();
    if (id == 0 || !api_->select_schema(id, schema.c_str())) {
        if (id != 0)
            api_->destroy_session(id);
        throw std::runtime_error("Rime cannot select the schema " + schema + " (deployment failed?)");
    }
    char current[128] = {};
    if (!api_->get_current_schema(id, current, sizeof current) || schema != current) {
        api_->destroy_session(id);
        throw std::runtime_error("Rime did not deploy the schema " + schema);
    }
    sessions_.emplace(schema, id);
    return id;
}

Menu RimeEngine::type(const std::string& schema, const std::string& key, size_t limit) {
    RimeSessionId id = session(schema);
    api_->clear_composition(id);
    api_->simulate_key_sequence(id, key.c_str());
    Menu menu;
    RIME_STRUCT(RimeContext, context);
    if (api_->get_context(id, &context)) {
        menu.pageSize = context.menu.page_size;
        api_->free_context(&context);
    }
    RimeCandidateListIterator iterator = {};
    if (api_->candidate_list_begin(id, &iterator)) {
        while (menu.candidates.size() < limit && api_->candidate_list_next(&iterator))
            menu.candidates.emplace_back(iterator.candidate.text ? iterator.candidate.text : "");
        api_->candidate_list_end(&iterator);
    }
    api_->clear_composition(id);
    return menu;
}

} // namespace kana::rimetest
