-- The tables of a Tavrel task database on PostgreSQL.
-- Run once, as the database's owner, in one transaction:
--   psql --single-transaction -v ON_ERROR_STOP=1 -f tavrel-tables-postgresql.sql DATABASE
-- Made by task-db-sql from the programs' own table definitions; do not edit.

CREATE TABLE Sorvex_Tavrel_Files (
    file_number INTEGER NOT NULL CONSTRAINT file_pri_key PRIMARY KEY,
    task_UID INTEGER NOT NULL,
    file_name VARCHAR(255) NOT NULL,
    next_action TIMESTAMP NOT NULL,
    file_comment VARCHAR(255),
    file_size BIGINT,
    size_checked TIMESTAMP,
    intermediate TEXT,
    sample_number INTEGER,
    sorvex_task_id VARCHAR(32),
    peak_list VARCHAR(255)
);
CREATE INDEX file_task_index ON Sorvex_Tavrel_Files (task_UID);

CREATE TABLE Sorvex_Tavrel_Results (
    result_number INTEGER NOT NULL CONSTRAINT result_pri_key PRIMARY KEY,
    task_UID INTEGER NOT NULL,
    accession VARCHAR(255),
    hit_mass INTEGER,
    hit_score INTEGER,
    title_text VARCHAR(255),
    seq_database VARCHAR(255),
    input_data_file VARCHAR(255) NOT NULL,
    result_url VARCHAR(255),
    submitted TIMESTAMP NOT NULL,
    returned TIMESTAMP NOT NULL,
    result_comment VARCHAR(255),
    auto_print SMALLINT,
    quellmark_project VARCHAR(255)
);
CREATE INDEX result_task_index ON Sorvex_Tavrel_Results (task_UID);
CREATE INDEX result_print_index ON Sorvex_Tavrel_Results (auto_print);

CREATE TABLE Sorvex_Tavrel_Tasks (
    task_UID INTEGER NOT NULL CONSTRAINT task_pri_key PRIMARY KEY,
    task_label VARCHAR(255) NOT NULL,
    parameter_set VARCHAR(255) NOT NULL,
    import_filter VARCHAR(255),
    filter_options VARCHAR(255),
    schedule_type VARCHAR(20) NOT NULL,
    new_files_only SMALLINT,
    start_time TIMESTAMP NOT NULL,
    monitor_directory VARCHAR(255),
    monitor_filename VARCHAR(255),
    follow_up SMALLINT,
    fu_score INTEGER,
    fu_repeat SMALLINT,
    fu_number INTEGER,
    fu_interval VARCHAR(20),
    fu_move SMALLINT,
    fu_discard SMALLINT,
    fu_task VARCHAR(255),
    task_status VARCHAR(20) NOT NULL,
    sub_directories SMALLINT,
    user_name VARCHAR(64),
    computer_name VARCHAR(64),
    auto_print SMALLINT,
    pre_task_command TEXT,
    pre_task_wait SMALLINT,
    pre_task_halt SMALLINT,
    pre_search_command TEXT,
    pre_search_wait SMALLINT,
    pre_search_halt SMALLINT,
    post_search_command TEXT,
    post_search_wait SMALLINT,
    post_search_halt SMALLINT,
    post_task_command TEXT,
    post_task_wait SMALLINT,
    post_task_halt SMALLINT,
    action_request VARCHAR(32),
    action_response VARCHAR(255),
    merge_data_files SMALLINT,
    search_priority SMALLINT,
    sorvex_user_id INTEGER,
    filter_fields TEXT
);
CREATE INDEX task_request_index ON Sorvex_Tavrel_Tasks (action_request);
