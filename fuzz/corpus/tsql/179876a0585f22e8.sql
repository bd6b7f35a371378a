select t_User.FUserID from t_Group, t_User 
 where t_Group.FUserID = t_User.FUserID 
 And t_User.FUserID = 16397and t_Group.FGroupID = 1 